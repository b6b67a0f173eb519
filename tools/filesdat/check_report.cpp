// The problems that filesdat check finds, in line order.
#include "check_report.h"

#include <algorithm>
#include <cstdio>

bool CheckReport::has_errors() const {
  for (const Problem &problem : problems_)
    if (!problem.warning) return true;
  return false;
}

void CheckReport::print(const std::string &script_path) const {
  std::vector<Problem> sorted = problems_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Problem &a, const Problem &b) { return a.place.line < b.place.line; });
  for (const Problem &problem : sorted) {
    if (problem.place.line == 0) {  // a problem of the product's files, not of a line
      printf("%s: %s%s\n", script_path.c_str(), problem.warning ? "warning: " : "", problem.message.c_str());
      continue;
    }
    std::string where = problem.place.section.empty() ? "" : " [" + problem.place.section + "]";
    if (!problem.place.key.empty()) where += " " + problem.place.key;
    printf("%s:%d:%s%s %s%s\n", script_path.c_str(), problem.place.line, where.c_str(), where.empty() ? "" : ":",
           problem.warning ? "warning: " : "", problem.message.c_str());
  }
}
