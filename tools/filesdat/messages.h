// Error and note output of filesdat: every message goes to stderr prefixed with the program's name.
#pragma once

// Prints "filesdat: <message>" and a newline to stderr.
void report(const char *format, ...) __attribute__((format(printf, 1, 2)));
