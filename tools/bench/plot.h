// The benchmark's chart: each row's median and 95th percentile frame time as
// a pair of bars, with the 60 Hz and 144 Hz frame budgets and the 10 ms line
// drawn across.
#pragma once
#include <string>
#include <vector>

struct RowTiming {
  int row = 0;
  double median = 0, p95 = 0;  // milliseconds
};

// Writes the chart as an RGB PNG, title at the top; false when the file
// cannot be written.
bool WritePlot(const std::string& path, const std::vector<RowTiming>& rows, const std::string& title);
