// The progress line: written to standard error only when it is a terminal.
#include "tools/capture/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {
double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

Progress::Progress(int64_t total, const char* label, const char* rateUnit)
    : total_(total), label_(label), rateUnit_(rateUnit), started_(Now()), terminal_(isatty(2) != 0) {}

void Progress::Update(int64_t done) {
  if (!terminal_) return;
  if (total_ <= 0) {
    // Nothing to count: the label alone, once.
    if (!any_) std::fprintf(stderr, "%s ", label_);
    any_ = true;
    return;
  }
  double now = Now();
  if (now - shown_ < 0.25 && done < total_) return;
  shown_ = now;
  double rate = done / (now - started_ > 1e-6 ? now - started_ : 1e-6);
  long left = rate > 0 ? (long)((total_ - done) / rate + 0.5) : 0;
  std::fprintf(stderr, "\r%s %lld of %lld  %.1f %s  %ld:%02ld:%02ld left ", label_, (long long)done,
               (long long)total_, rate, rateUnit_, left / 3600, left / 60 % 60, left % 60);
  std::fflush(stderr);
  any_ = true;
}

void Progress::Done() {
  if (any_) std::fputc('\n', stderr);
  any_ = false;
}
