// dIniFile: reads keys of the install script through the system's profile-file reader.
// A key counts as present only when its text does not contain "fail" (the default text the
// reader is given), so a value with that word in it reads as missing.
#pragma once

class dIniFile {
 public:
  dIniFile();
  // Remembers the path (up to 1023 characters); the file itself is not looked at.
  int Open(const char *path);
  // 1 and the value in buffer when present; 0 and buffer untouched otherwise.
  int GetString(const char *section, const char *key, char *buffer, unsigned long size);
  // 1 and the value converted as a C-notation unsigned number when present; 0 otherwise.
  int GetDWORD(const char *section, const char *key, unsigned long *number);
  const char *path() const { return path_; }

 private:
  char path_[1024];
};

#ifdef SETUP_BUILD
// The one script-file object of the process.
extern dIniFile g_script_file;
#endif
