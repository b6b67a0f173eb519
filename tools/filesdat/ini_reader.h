// A reader of setup.ini that answers as the Windows profile reader does, and remembers where each
// section and key stands so that the script checker can point at the line.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct IniKey {
  std::string name;   // trimmed, as written
  std::string value;  // trimmed; enclosing quotes removed, as the profile reader removes them
  int line = 0;
  bool unquoted = false;  // the value was enclosed in quotes that were removed
};

struct IniSection {
  std::string name;  // between the brackets, trimmed
  int line = 0;
  std::vector<IniKey> keys;                 // in file order, repeated names included
  std::map<std::string, size_t> first_key;  // folded name -> index of its first key in keys
};

// A line that is neither blank, a comment, a section header nor a key.
struct IniLineProblem {
  int line;
  std::string section;  // the section the line stands in, "" before the first
  std::string message;
};

class IniFile {
 public:
  // Reads path. False (errno set) when it cannot be read.
  bool load(const std::string &path);
  // Reads text as the contents of a script (for callers that hold it already).
  void parse(const std::string &text);

  const std::vector<IniSection> &sections() const { return sections_; }
  const std::vector<IniLineProblem> &problems() const { return problems_; }
  // The section the profile reader reads for name: the first one of that name, letter case
  // ignored. Null when there is none.
  const IniSection *section(const std::string &name) const;
  // The key the profile reader returns: the first of that name in that section. Null when none.
  const IniKey *key(const IniSection *section, const std::string &name) const;
  const IniKey *key(const std::string &section_name, const std::string &name) const {
    return key(section(section_name), name);
  }

 private:
  void parse_line(const std::string &line, int number);

  std::vector<IniSection> sections_;
  std::map<std::string, size_t> first_section_;  // folded name -> index in sections_
  std::vector<IniLineProblem> problems_;
  bool in_section_ = false;
};
