// The arguments of the two uninstall stages, taken from setup's command line.
#pragma once

#include <string>
#include <vector>

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
