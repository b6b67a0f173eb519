// Splitting a command line into arguments, and reading a number argument.
#pragma once

#include <cstdint>

#include "sdk/item_list.h"
#include "sdk/setup_string.h"

// The arguments of a command line, argument 0 being the program. Splits at blanks and tabs; a
// span in double quotes may hold blanks (the quotes are dropped); a backslash directly before a
// double quote makes that quote literal. When memory is short the arguments end early.
class CommandWords {
 public:
  explicit CommandWords(const char *line);  // null: no arguments
  CommandWords(const CommandWords &) = delete;
  CommandWords &operator=(const CommandWords &) = delete;
  uint32_t count() const { return words_.size(); }
  // Argument i, or "" past the last one.
  const char *operator[](uint32_t i) const { return i < words_.size() ? words_[i].c_str() : ""; }

 private:
  ItemList<String> words_;
};

// A switch ("/name" or "/name=value") rather than a positional argument.
inline bool is_switch_word(const char *word) { return word[0] == '/'; }

// Optional blanks, an optional sign, decimal digits; stops at the first other character.
long parse_command_number(const char *text);
