// Reading setup.ini the way the Windows profile reader does: section and key names without regard
// to letter case, the first occurrence wins, blanks around names and values trimmed, lines
// starting with ';' are comments, and a value enclosed in matching quotes loses them.
#include "ini_reader.h"

#include <cstdio>

#include "member_name.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string trimmed(const std::string &text) {
  size_t begin = 0, end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The profile reader hands out "x" and 'x' as x.
bool strip_quotes(std::string *value) {
  if (value->size() < 2) return false;
  char first = (*value)[0];
  if ((first != '"' && first != '\'') || value->back() != first) return false;
  *value = value->substr(1, value->size() - 2);
  return true;
}

}  // namespace

bool IniFile::load(const std::string &path) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string text;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  bool ok = !ferror(file);
  fclose(file);
  if (ok) parse(text);
  return ok;
}

void IniFile::parse(const std::string &text) {
  sections_.clear();
  first_section_.clear();
  problems_.clear();
  in_section_ = false;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    parse_line(text.substr(start, end - start), ++number);
    start = end + 1;
  }
}

void IniFile::parse_line(const std::string &raw, int number) {
  std::string line = trimmed(raw);
  std::string current = in_section_ ? sections_.back().name : "";
  if (line.empty() || line[0] == ';') return;
  if (line[0] == '[') {
    size_t close = line.find(']');
    if (close == std::string::npos) {
      problems_.push_back({number, current, "section header without ']'"});
      close = line.size();
    }
    IniSection section;
    section.name = trimmed(line.substr(1, close - 1));
    section.line = number;
    first_section_.insert({folded_name(section.name), sections_.size()});
    sections_.push_back(section);
    in_section_ = true;
    return;
  }
  size_t equals = line.find('=');
  if (equals == std::string::npos) {
    problems_.push_back({number, current, "neither a key (no '=') nor a section header: not read"});
    return;
  }
  IniKey key;
  key.name = trimmed(line.substr(0, equals));
  key.value = trimmed(line.substr(equals + 1));
  key.unquoted = strip_quotes(&key.value);
  key.line = number;
  if (key.name.empty()) {
    problems_.push_back({number, current, "a value without a key name: not read"});
  } else if (!in_section_) {
    problems_.push_back({number, current, "key \"" + key.name + "\" stands before any section header: not read"});
  } else {
    IniSection &section = sections_.back();
    section.first_key.insert({folded_name(key.name), section.keys.size()});
    section.keys.push_back(key);
  }
}

const IniSection *IniFile::section(const std::string &name) const {
  auto found = first_section_.find(folded_name(name));
  return found == first_section_.end() ? nullptr : &sections_[found->second];
}

const IniKey *IniFile::key(const IniSection *section, const std::string &name) const {
  if (!section) return nullptr;
  auto found = section->first_key.find(folded_name(name));
  return found == section->first_key.end() ? nullptr : &section->keys[found->second];
}
