// kRegKey: owner of one open registry key, with typed reads and writes and enumeration.
// Every result is 1 (success) or 0 (failure); a wrapper with no key open fails every
// value operation without calling the system.
#pragma once

#include <windows.h>

#include "setup_api.h"

class SETUP_API kRegKey {
 public:
  kRegKey();
  ~kRegKey();
  kRegKey(const kRegKey &) = delete;
  kRegKey &operator=(const kRegKey &) = delete;

  int Open(HKEY parent, const char *subkey);    // existing key, full access; 0 if one is held
  int Create(HKEY parent, const char *subkey);  // opens or creates the whole path; 0 if one is held
  int Close();                                  // 1 when a key was open and is now closed

  int SetString(const char *name, const char *text);
  int SetDWORD(const char *name, unsigned long number);
  int SetBinary(const char *name, const void *data, unsigned long size);
  // Typed reads leave the caller's buffer untouched unless the value has the right type.
  int GetString(const char *name, char *buffer, unsigned long capacity);
  int GetDWORD(const char *name, unsigned long *number);
  int GetBinary(const char *name, void *buffer, unsigned long *size);
  int Delete(const char *name);

  unsigned long children();
  int child(unsigned long index, char *buffer, unsigned long capacity);
  unsigned long values();
  int value(unsigned long index, char *buffer, unsigned long capacity);

  void sethandle(HKEY handle);  // takes ownership; does not close a handle held before
  HKEY getkey();
  operator HKEY();

 private:
  int query_type(const char *name, DWORD *type);
  HKEY key_;
};
