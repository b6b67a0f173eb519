// The bounded formatter: one pass over the format, writing what fits and counting the rest.
#include "text_format.h"

#include <climits>
#include <cstring>

namespace {

const size_t kMaxLength = INT_MAX - 1;  // longest result whose length the int result can tell

// The output of one call: keeps capacity - 1 characters, counts them all.
class Sink {
 public:
  Sink(char *out, size_t capacity) : out_(out), capacity_(capacity), length_(0), overflow_(false) {}

  void repeat(char c, size_t count) {
    if (!reserve(count)) return;
    for (size_t i = 0; i < count; ++i) put(c);
  }
  void text(const char *text, size_t count) {
    if (!reserve(count)) return;
    for (size_t i = 0; i < count; ++i) put(text[i]);
  }
  // Terminates the output; the result as text_vformat returns it.
  int finish(bool failed) {
    if (capacity_ > 0) out_[failed || overflow_ ? 0 : (length_ < capacity_ ? length_ : capacity_ - 1)] = 0;
    return failed || overflow_ ? -1 : static_cast<int>(length_);
  }

 private:
  bool reserve(size_t count) {
    if (count > kMaxLength - length_) overflow_ = true;
    return !overflow_;
  }
  void put(char c) {
    if (length_ + 1 < capacity_) out_[length_] = c;
    ++length_;
  }
  char *out_;
  size_t capacity_;
  size_t length_;
  bool overflow_;
};

// A va_list that helpers can share (va_list itself may be an array type).
struct Arguments {
  va_list list;
};

// One conversion: %[flags][width][.precision][l]conversion.
struct Field {
  bool left = false;
  bool zero = false;
  size_t width = 0;
  int precision = -1;  // none
  bool is_long = false;
  char conversion = 0;
};

// Digits, or * taking the next int argument (which may be negative). false when the digits overflow.
bool read_count(const char **p, Arguments *args, int *count) {
  if (**p == '*') {
    ++*p;
    *count = va_arg(args->list, int);
    return true;
  }
  int value = 0;
  for (; **p >= '0' && **p <= '9'; ++*p) {
    if (value > (INT_MAX - (**p - '0')) / 10) return false;
    value = value * 10 + (**p - '0');
  }
  *count = value;
  return true;
}

// Reads the conversion after its %. false for a conversion this formatter does not know.
bool read_field(const char **p, Arguments *args, Field *field) {
  for (;; ++*p) {
    if (**p == '-') {
      field->left = true;
    } else if (**p == '0') {
      field->zero = true;
    } else {
      break;
    }
  }
  int width = 0;
  if (!read_count(p, args, &width)) return false;
  if (width < 0) field->left = true;  // a negative * width means "-" and its magnitude
  field->width = width < 0 ? 0u - static_cast<unsigned>(width) : static_cast<unsigned>(width);
  if (**p == '.') {
    ++*p;
    if (!read_count(p, args, &field->precision)) return false;
    if (field->precision < 0) field->precision = -1;  // a negative * precision is none
  }
  if (**p == 'l') {
    field->is_long = true;
    ++*p;
  }
  field->conversion = **p;
  if (!field->conversion || !strchr("scdiuxX", field->conversion)) return false;
  ++*p;
  return true;
}

void pad(Sink *sink, const Field &field, size_t length, bool before) {
  if (field.width > length && field.left != before) sink->repeat(' ', field.width - length);
}

void put_text(Sink *sink, const Field &field, const char *text) {
  if (!text) text = "(null)";
  size_t length = 0;
  size_t limit = field.precision < 0 ? kMaxLength + 1 : static_cast<size_t>(field.precision);
  while (length < limit && text[length]) ++length;
  pad(sink, field, length, true);
  sink->text(text, length);
  pad(sink, field, length, false);
}

void put_number(Sink *sink, const Field &field, unsigned long magnitude, bool negative) {
  char digits[3 * sizeof magnitude];
  size_t count = 0;
  const char *alphabet = field.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  unsigned long base = (field.conversion == 'x' || field.conversion == 'X') ? 16 : 10;
  for (unsigned long rest = magnitude; rest != 0; rest /= base) digits[count++] = alphabet[rest % base];
  if (count == 0 && field.precision != 0) digits[count++] = '0';
  size_t zeros = field.precision > 0 && static_cast<size_t>(field.precision) > count
                     ? static_cast<size_t>(field.precision) - count
                     : 0;
  size_t length = (negative ? 1 : 0) + zeros + count;
  if (field.zero && !field.left && field.precision < 0 && field.width > length) {
    zeros += field.width - length;
    length = field.width;
  }
  pad(sink, field, length, true);
  if (negative) sink->repeat('-', 1);
  sink->repeat('0', zeros);
  while (count > 0) sink->repeat(digits[--count], 1);
  pad(sink, field, length, false);
}

void put_conversion(Sink *sink, const Field &field, Arguments *args) {
  switch (field.conversion) {
    case 's':
      put_text(sink, field, va_arg(args->list, const char *));
      return;
    case 'c': {
      char c = static_cast<char>(va_arg(args->list, int));
      pad(sink, field, 1, true);
      sink->text(&c, 1);
      pad(sink, field, 1, false);
      return;
    }
    case 'd':
    case 'i': {
      long value = field.is_long ? va_arg(args->list, long) : va_arg(args->list, int);
      unsigned long magnitude = static_cast<unsigned long>(value);
      put_number(sink, field, value < 0 ? 0ul - magnitude : magnitude, value < 0);
      return;
    }
    default:
      put_number(sink, field, field.is_long ? va_arg(args->list, unsigned long) : va_arg(args->list, unsigned), false);
      return;
  }
}

}  // namespace

int text_vformat(char *out, size_t capacity, const char *format, va_list list) {
  Sink sink(out, out ? capacity : 0);
  if (!format) return sink.finish(true);
  Arguments args;
  va_copy(args.list, list);
  bool failed = false;
  for (const char *p = format; *p;) {
    if (*p != '%') {
      const char *run = p;
      while (*p && *p != '%') ++p;
      sink.text(run, static_cast<size_t>(p - run));
      continue;
    }
    ++p;
    if (*p == '%') {
      sink.text(p++, 1);
      continue;
    }
    Field field;
    if (!read_field(&p, &args, &field)) {
      failed = true;
      break;
    }
    put_conversion(&sink, field, &args);
  }
  va_end(args.list);
  return sink.finish(failed);
}

int text_format(char *out, size_t capacity, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = text_vformat(out, capacity, format, args);
  va_end(args);
  return n;
}
