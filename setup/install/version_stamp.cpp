// The version-stamp step: four DWORD values named after the script's VERSION prefix.
#include "install/version_stamp.h"

namespace {

void set_stamp(ChangeWriter *writer, kRegKey *key, const String &prefix, const char *suffix, uint32_t number) {
  String name = prefix;
  name.append(suffix);
  writer->set_dword(key, HKEY_LOCAL_MACHINE, kVersionStampKey, name.c_str(), number, false);
}

int open_or_create(ChangeWriter *writer, kRegKey *key, const char *name) {
  return key->Open(HKEY_LOCAL_MACHINE, name) || writer->create_key(key, HKEY_LOCAL_MACHINE, name, KEY_NOT_RECORDED);
}

}  // namespace

int write_version_stamp(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  if (!info->has_version) return 0;
  kRegKey parent;
  if (open_or_create(writer, &parent, kVersionStampParent)) parent.Close();
  kRegKey key;
  if (!open_or_create(writer, &key, kVersionStampKey)) return 0;
  set_stamp(writer, &key, info->version_prefix, "_tmaj", info->version_major_high);
  set_stamp(writer, &key, info->version_prefix, "_tmin", info->version_minor_high);
  set_stamp(writer, &key, info->version_prefix, "_vmaj", info->version_major_low);
  set_stamp(writer, &key, info->version_prefix, "_vmin", info->version_minor_low);
  key.Close();
  return 0;
}
