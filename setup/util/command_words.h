// Splitting a command line into arguments, and reading a number argument.
#pragma once

#include <string>
#include <vector>

// Splits at blanks and tabs; a span in double quotes may hold blanks (the quotes are dropped);
// a backslash directly before a double quote makes that quote literal.
std::vector<std::string> split_command_line(const char *line);

// Optional blanks, an optional sign, decimal digits; stops at the first other character.
long parse_command_number(const char *text);
