// String: owns its characters, copies on assignment, grows on append.
#include "setup_string.h"

#include <cstdlib>
#include <cstring>

static char g_empty_text[1] = {0};

String::String() : text_(g_empty_text), length_(0), capacity_(0) {}

String::String(const char *text) : String() { *this = text; }

String::String(const String &other) : String() { *this = other; }

String::~String() {
  if (capacity_) free(text_);
}

// Grows the buffer to hold needed characters plus the terminator. Out of memory leaves
// the String as it was; the callers then drop the text they could not store.
void String::reserve(uint32_t needed) {
  if (needed < capacity_) return;
  uint32_t capacity = capacity_ ? capacity_ : 16;
  while (capacity <= needed) capacity *= 2;
  char *grown = static_cast<char *>(realloc(capacity_ ? text_ : nullptr, capacity));
  if (!grown) return;
  if (!capacity_) grown[0] = 0;
  text_ = grown;
  capacity_ = capacity;
}

String &String::operator=(const char *text) {
  if (text == text_) return *this;
  length_ = 0;
  if (capacity_) text_[0] = 0;
  return append(text);
}

String &String::operator=(const String &other) {
  if (&other == this) return *this;
  return *this = other.c_str();
}

String &String::append(const char *text) {
  if (!text) return *this;
  size_t extra = strlen(text);
  if (extra == 0) return *this;
  if (extra > 0x7FFFFFFF - length_) return *this;
  // text may point into our own buffer; keep it valid across the reallocation.
  if (text >= text_ && text < text_ + length_ + 1 && capacity_) {
    String copy(text);
    return append(copy.c_str());
  }
  reserve(length_ + static_cast<uint32_t>(extra));
  if (capacity_ <= length_ + extra) return *this;
  memcpy(text_ + length_, text, extra + 1);
  length_ += static_cast<uint32_t>(extra);
  return *this;
}

String &String::append(const String &other) { return append(other.c_str()); }

String &String::append(char c, uint32_t count) {
  if (count == 0 || c == 0 || count > 0x7FFFFFFF - length_) return *this;
  reserve(length_ + count);
  if (capacity_ <= length_ + count) return *this;
  memset(text_ + length_, c, count);
  length_ += count;
  text_[length_] = 0;
  return *this;
}

const char *String::c_str() const { return text_; }

uint32_t String::length() const { return length_; }

bool String::equals(const char *text) const { return text && strcmp(text_, text) == 0; }
