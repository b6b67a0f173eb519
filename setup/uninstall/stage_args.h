// The arguments of the two uninstall stages, taken from setup's command line.
#pragma once

#include "sdk/setup_string.h"
#include "util/command_words.h"

struct FirstStageArgs {
  String product_name;
  long n = 0;
  String resource_library;  // empty when not given
};

struct SecondStageArgs {
  unsigned long process = 0;
  String directory;
  long n = 0;
  String product_name;
  String resource_library;  // empty when not given
};

// 1 when the command line holds every argument of its form; 0 (outputs untouched) otherwise.
int take_first_stage_args(const CommandWords &args, FirstStageArgs *out);
int take_second_stage_args(const CommandWords &args, SecondStageArgs *out);
