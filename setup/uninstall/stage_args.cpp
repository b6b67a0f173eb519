// The arguments of the two uninstall stages, taken from setup's command line.
#include "uninstall/stage_args.h"

#include "util/command_words.h"

int take_first_stage_args(const std::vector<std::string> &args, FirstStageArgs *out) {
  if (args.size() < 4) return 0;
  out->product_name = args[2];
  out->n = parse_command_number(args[3].c_str());
  out->resource_library = args.size() > 4 ? args[4] : std::string();
  return 1;
}

int take_second_stage_args(const std::vector<std::string> &args, SecondStageArgs *out) {
  if (args.size() < 6) return 0;
  out->process = static_cast<unsigned long>(parse_command_number(args[2].c_str()));
  out->directory = args[3];
  out->n = parse_command_number(args[4].c_str());
  out->product_name = args[5];
  out->resource_library = args.size() > 6 ? args[6] : std::string();
  return 1;
}
