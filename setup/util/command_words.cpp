// Splitting a command line into arguments, and reading a number argument.
#include "util/command_words.h"

CommandWords::CommandWords(const char *line) {
  if (!line) return;
  const char *p = line;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    String arg;
    bool quoted = false;
    for (; *p; ++p) {
      if (p[0] == '\\' && p[1] == '"') {
        arg.append('"', 1);
        ++p;
      } else if (*p == '"') {
        quoted = !quoted;
      } else if ((*p == ' ' || *p == '\t') && !quoted) {
        break;
      } else {
        arg.append(*p, 1);
      }
    }
    if (!words_.append(arg)) return;
  }
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
