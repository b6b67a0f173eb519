// setup's command line: splitting, numbers, mode choice and the uninstall stages' arguments.
#include "app/command_line.h"

#include <cctype>

#include "util/bounded_text.h"

std::vector<std::string> split_command_line(const char *line) {
  std::vector<std::string> args;
  if (!line) return args;
  const char *p = line;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string arg;
    bool quoted = false;
    for (; *p; ++p) {
      if (p[0] == '\\' && p[1] == '"') {
        arg += '"';
        ++p;
      } else if (*p == '"') {
        quoted = !quoted;
      } else if ((*p == ' ' || *p == '\t') && !quoted) {
        break;
      } else {
        arg += *p;
      }
    }
    args.push_back(arg);
  }
  return args;
}

long parse_command_number(const char *text) {
  if (!text) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  unsigned long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<unsigned long>(*text - '0');
  return negative ? -static_cast<long>(value) : static_cast<long>(value);
}

RunMode choose_mode(const std::vector<std::string> &args) {
  if (args.size() <= 1) return MODE_INSTALL;
  if (ascii_compare_nocase(args[1].c_str(), "-u2") == 0) return MODE_UNINSTALL_SECOND;
  return MODE_UNINSTALL_FIRST;
}

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
