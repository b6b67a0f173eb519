// command_tail: skips the program name and the blanks after it.
#include "command_tail.h"

namespace {

bool is_blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

const char *command_tail(const char *command_line) {
  if (!command_line) return "";
  const char *p = command_line;
  bool quoted = false;
  for (; *p && (quoted || !is_blank(*p)); ++p) {
    if (*p == '"') quoted = !quoted;
  }
  while (*p && is_blank(*p)) ++p;
  return p;
}
