// Bounded text helpers: every write into a fixed buffer goes through these and reports truncation.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies text into out (capacity bytes, terminator included). Returns 1 when the whole text fit;
// returns 0 and leaves out untouched when it did not (or when out/capacity is unusable).
int copy_text(char *out, size_t capacity, const char *text);

// Appends text to the zero-terminated contents of out. Returns 1 when it fit; 0 and out untouched otherwise.
int append_text(char *out, size_t capacity, const char *text);

// Formats into out with text_format's conversions (runtime/text_format.h); no argument may point
// into out. Returns 1 when the whole result fit; 0 and out untouched when it would be truncated
// or the format holds a conversion text_format does not know.
int format_text(char *out, size_t capacity, const char *format, ...) __attribute__((format(printf, 3, 4)));

// Replaces each "%s" of format (at most two) with name into out (size bytes). A format with other
// conversions, or a result that would not fit, is copied unformatted instead, so a long product
// name or a replaced string can never overrun out.
void format_with_name(char *out, size_t size, const char *format, const char *name);

// ASCII-only case-insensitive comparison: A-Z fold to a-z, nothing else folds. 0 when equal.
int ascii_compare_nocase(const char *a, const char *b);
// The same for the first length characters of text against the whole of word: true when equal.
bool ascii_equals_nocase(const char *text, size_t length, const char *word);

// Case-insensitive comparison of whole strings honouring double-byte characters of the active code page.
int mbcs_compare_nocase(const char *a, const char *b);
// A hash under which names that mbcs_compare_nocase finds equal are equal.
uint32_t mbcs_hash_nocase(const char *text);
