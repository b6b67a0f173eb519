// The mem* and str* functions for code without a C runtime. The compiler also calls memcpy,
// memmove, memset and memcmp by itself (structure copies, zeroed arrays), so they must exist.
// This file is built with -fno-builtin -fno-tree-loop-distribute-patterns, so that these loops
// are not turned back into calls of themselves.
#include <cstddef>
#include <cstring>

extern "C" void *memcpy(void *to, const void *from, size_t n) {
  unsigned char *d = static_cast<unsigned char *>(to);
  const unsigned char *s = static_cast<const unsigned char *>(from);
  while (n--) *d++ = *s++;
  return to;
}

extern "C" void *memmove(void *to, const void *from, size_t n) {
  unsigned char *d = static_cast<unsigned char *>(to);
  const unsigned char *s = static_cast<const unsigned char *>(from);
  if (d <= s || d >= s + n) return memcpy(to, from, n);
  while (n--) d[n] = s[n];
  return to;
}

extern "C" void *memset(void *to, int value, size_t n) {
  unsigned char *d = static_cast<unsigned char *>(to);
  while (n--) *d++ = static_cast<unsigned char>(value);
  return to;
}

extern "C" int memcmp(const void *a, const void *b, size_t n) {
  const unsigned char *x = static_cast<const unsigned char *>(a);
  const unsigned char *y = static_cast<const unsigned char *>(b);
  for (; n--; ++x, ++y)
    if (*x != *y) return *x - *y;
  return 0;
}

extern "C" void *memchr(const void *block, int value, size_t n) {
  const unsigned char *p = static_cast<const unsigned char *>(block);
  for (; n--; ++p)
    if (*p == static_cast<unsigned char>(value)) return const_cast<unsigned char *>(p);
  return nullptr;
}

extern "C" size_t strlen(const char *text) {
  const char *p = text;
  while (*p) ++p;
  return static_cast<size_t>(p - text);
}

extern "C" size_t strnlen(const char *text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n]) ++n;
  return n;
}

extern "C" int strncmp(const char *a, const char *b, size_t n) {
  for (; n--; ++a, ++b) {
    unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (x != y || x == 0) return x - y;
  }
  return 0;
}

extern "C" int strcmp(const char *a, const char *b) { return strncmp(a, b, static_cast<size_t>(-1)); }

extern "C" char *strchr(const char *text, int c) {
  for (;; ++text) {
    if (*text == static_cast<char>(c)) return const_cast<char *>(text);
    if (!*text) return nullptr;
  }
}

extern "C" char *strrchr(const char *text, int c) {
  const char *found = nullptr;
  for (;; ++text) {
    if (*text == static_cast<char>(c)) found = text;
    if (!*text) return const_cast<char *>(found);
  }
}

extern "C" char *strstr(const char *text, const char *part) {
  size_t n = strlen(part);
  for (; *text; ++text)
    if (strncmp(text, part, n) == 0) return const_cast<char *>(text);
  return n == 0 ? const_cast<char *>(text) : nullptr;
}

extern "C" size_t strcspn(const char *text, const char *stops) {
  size_t n = 0;
  while (text[n] && !strchr(stops, text[n])) ++n;
  return n;
}
