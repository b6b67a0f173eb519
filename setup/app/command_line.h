// Splitting setup's command line into arguments and choosing the run mode.
#pragma once

#include <string>
#include <vector>

// Splits at blanks and tabs; a span in double quotes may hold blanks (the quotes are dropped);
// a backslash directly before a double quote makes that quote literal.
std::vector<std::string> split_command_line(const char *line);

// Optional blanks, an optional sign, decimal digits; stops at the first other character.
long parse_command_number(const char *text);

enum RunMode { MODE_INSTALL, MODE_UNINSTALL_FIRST, MODE_UNINSTALL_SECOND };

// No argument: install; "-u2" (any case): second stage; anything else: first stage.
RunMode choose_mode(const std::vector<std::string> &args);

// Arguments of the uninstall stages, taken from the command line.
struct FirstStageArgs {
  std::string product_name;
  long n = 0;
  std::string resource_library;  // empty when not given
};

struct SecondStageArgs {
  unsigned long process = 0;
  std::string directory;
  long n = 0;
  std::string product_name;
  std::string resource_library;  // empty when not given
};

// 1 when the command line holds every argument of its form; 0 (outputs untouched) otherwise.
int take_first_stage_args(const std::vector<std::string> &args, FirstStageArgs *out);
int take_second_stage_args(const std::vector<std::string> &args, SecondStageArgs *out);
