// The arguments of the two uninstall stages, taken from setup's command line.
#include "uninstall/stage_args.h"

int take_first_stage_args(const CommandWords &args, FirstStageArgs *out) {
  if (args.count() < 4) return 0;
  out->product_name = args[2];
  out->n = parse_command_number(args[3]);
  if (!is_switch_word(args[4])) out->resource_library = args[4];  // "" when not given
  return 1;
}

int take_second_stage_args(const CommandWords &args, SecondStageArgs *out) {
  if (args.count() < 6) return 0;
  out->process = static_cast<unsigned long>(parse_command_number(args[2]));
  out->directory = args[3];
  out->n = parse_command_number(args[4]);
  out->product_name = args[5];
  if (!is_switch_word(args[6])) out->resource_library = args[6];  // "" when not given
  return 1;
}
