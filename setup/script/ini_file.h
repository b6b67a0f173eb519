// dIniFile: reads keys of the install script through the system's profile-file reader.
// A key counts as present only when its text does not contain "fail" (the default text the
// reader is given), so a value with that word in it reads as missing.
#pragma once

class dIniFile {
 public:
  dIniFile();
  ~dIniFile();
  dIniFile(const dIniFile &) = delete;
  dIniFile &operator=(const dIniFile &) = delete;
  // Remembers the path (up to 1023 characters); the file itself is not looked at.
  int Open(const char *path);
  // 1 and the value in buffer when present; 0 and buffer untouched otherwise.
  int GetString(const char *section, const char *key, char *buffer, unsigned long size);
  // 1 and the value converted as a C-notation unsigned number when present; 0 otherwise.
  int GetDWORD(const char *section, const char *key, unsigned long *number);
  const char *path() const { return path_; }
  // Reads section whole, so that GetString answers its keys from memory: the system searches the
  // file anew for every key, which for a section of thousands of keys costs more than the rest of
  // setup's start. When the section cannot be read whole it is read key by key as before.
  void HoldSection(const char *section);
  // How many keys the section holds, at least as many as any total it can mean; 0xFFFFFFFF when
  // the system cannot tell for certain.
  unsigned long KeyCount(const char *section);

 private:
  // 1 when the held section answers for the key: its text is at *value. 0 when only the system
  // can tell (another section, a key not found, or a quoted value, which the system unquotes).
  bool find_held(const char *section, const char *key, const char **value);
  // The section's "key=value" texts, each ending in 0, then one more 0 (malloc'd); null when it
  // cannot be read whole.
  char *read_section(const char *section);

  char path_[1024];
  char held_name_[64];
  char *held_ = nullptr;        // "key=value" texts, each ending in 0, then one more 0
  const char *cursor_ = nullptr;  // where the next search starts: keys are mostly read in order
};

#ifdef SETUP_BUILD
// The one script-file object of the process.
extern dIniFile g_script_file;
#endif
