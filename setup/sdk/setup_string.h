// String: setup's owning text type, shared with hook libraries through the exported interface.
#pragma once

#include <cstdint>

#include "setup_api.h"

class SETUP_API String {
 public:
  String();
  String(const char *text);
  String(const String &other);
  ~String();

  String &operator=(const char *text);
  String &operator=(const String &other);

  String &append(const char *text);
  String &append(const String &other);
  String &append(char c, uint32_t count);  // one character repeated count times

  const char *c_str() const;  // never null; an empty String gives ""
  uint32_t length() const;
  bool equals(const char *text) const;  // exact, case-sensitive, byte-wise

 private:
  void reserve(uint32_t needed);
  char *text_;
  uint32_t length_;
  uint32_t capacity_;
};
