// The problems that filesdat check finds, printed as "script:LINE: [SECTION] key: message", or
// "script: message" for those of no line.
#pragma once

#include <string>
#include <vector>

// Where a problem is: the line, the section as written and the key ("" for the section itself).
// Line 0 is a problem of the product's files rather than of a line.
struct Place {
  int line;
  std::string section;
  std::string key;
};

class CheckReport {
 public:
  void error(const Place &place, const std::string &message) { add(place, false, message); }
  void warning(const Place &place, const std::string &message) { add(place, true, message); }
  bool has_errors() const;
  // Prints every problem to stdout in line order (problems of one line in the order found).
  void print(const std::string &script_path) const;

 private:
  struct Problem {
    Place place;
    bool warning;
    std::string message;
  };
  void add(const Place &place, bool warning, const std::string &message) {
    problems_.push_back({place, warning, message});
  }
  std::vector<Problem> problems_;
};
