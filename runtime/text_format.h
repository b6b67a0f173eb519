// Bounded formatting for the programs that carry no C runtime: the printf conversions the kit uses,
// without floating point and without a locale.
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats into out (capacity bytes, terminator included) and returns the length the whole result
// has, as vsnprintf does: a result of capacity or more was cut to capacity - 1 characters. The
// output is terminated whenever capacity > 0; out may be null when capacity is 0.
//
// Conversions: %s (null prints "(null)"), %c, %d and %i, %u, %x and %X, and %%; an optional l
// before d, i, u, x or X (long is as wide as int on Windows). Flags - (left-justify) and 0 (pad
// numbers with zeros); a width and a .precision, each digits or *. The precision is the most
// characters taken from a %s argument and the fewest digits of a number.
//
// Returns -1 and leaves out as "" (when capacity > 0) for any other conversion or a result of
// INT_MAX characters or more.
int text_vformat(char *out, size_t capacity, const char *format, va_list args);
int text_format(char *out, size_t capacity, const char *format, ...) __attribute__((format(printf, 3, 4)));
