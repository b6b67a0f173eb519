// The version-stamp step: four DWORD values named after the script's VERSION prefix.
#include "install/version_stamp.h"

#include "install/journaled_registry.h"
#include "sdk/reg_key.h"

const char kVersionStampParent[] = "Software\\Quorvane\\Vemmick";
const char kVersionStampKey[] = "Software\\Quorvane\\Vemmick\\Ormal000";

namespace {

void set_stamp(kRegKey *key, const String &prefix, const char *suffix, uint32_t number) {
  String name = prefix;
  name.append(suffix);
  journaled_set_dword(key, HKEY_LOCAL_MACHINE, kVersionStampKey, name.c_str(), number);
}

int open_or_create(kRegKey *key, const char *name) {
  return key->Open(HKEY_LOCAL_MACHINE, name) || journaled_create_key(key, HKEY_LOCAL_MACHINE, name);
}

}  // namespace

int write_version_stamp(SetupInfo *info) {
  if (!info->has_version) return 0;
  kRegKey parent;
  if (open_or_create(&parent, kVersionStampParent)) parent.Close();
  kRegKey key;
  if (!open_or_create(&key, kVersionStampKey)) return 0;
  set_stamp(&key, info->version_prefix, "_tmaj", info->version_major_high);
  set_stamp(&key, info->version_prefix, "_tmin", info->version_minor_high);
  set_stamp(&key, info->version_prefix, "_vmaj", info->version_major_low);
  set_stamp(&key, info->version_prefix, "_vmin", info->version_minor_low);
  key.Close();
  return 0;
}
