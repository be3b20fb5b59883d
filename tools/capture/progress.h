// The capture's progress line on the terminal: frames done of all, frames per
// second and the time left, rewritten in place a few times a second.
#pragma once
#include <cstdint>

class Progress {
 public:
  // label names what is counted ("frame", "replaying"); rateUnit how its
  // rate reads.
  Progress(int64_t total, const char* label, const char* rateUnit = "fps");
  void Update(int64_t done);
  // Ends the line (when one was shown).
  void Done();

 private:
  int64_t total_;
  const char* label_;
  const char* rateUnit_;
  double started_, shown_ = 0;
  bool terminal_;
  bool any_ = false;
};
