// Error and note output of filesdat.
#include "messages.h"

#include <cstdarg>
#include <cstdio>

void report(const char *format, ...) {
  fputs("filesdat: ", stderr);
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fputc('\n', stderr);
}
