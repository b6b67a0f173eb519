// Decimal text of the tuner's values: "%i" out, a lenient conversion back in.
#pragma once

#include <cstddef>
#include <cstdint>

// Converts text to a number: skips leading white space, takes one optional '+' or '-' and the
// digits that follow, and stops at the first other character. Text without digits gives 0;
// a number beyond the 32-bit range is held at the nearest limit.
int32_t parse_decimal(const char *text);

// Writes value in "%i" form into out (capacity bytes). 1 when it fit; 0 and empty text otherwise.
int format_decimal(char *out, size_t capacity, int32_t value);
