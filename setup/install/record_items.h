// The items of the uninstall record, kept in SetupInfo while installing: every item the
// installation creates, numbered within its kind.
#pragma once

#include "sdk/setup_info.h"

// A kind of item as the record in the registry stores it.
struct RecordKind {
  int32_t kind;
  const char *total_name;       // "dirtotal" ...
  const char *item_format;      // "dir%d" ...
  uint32_t SetupInfo::*total;   // null for the kinds SetupInfo has no total for
};

// The order in which the reader loads the kinds: directories, files, registry values,
// associations, then the two kinds (RECORD_VALUE: only the value is removed again;
// RECORD_CREATED_KEY: a created key once it is empty) that uninstallers of earlier versions pass
// over.
extern const RecordKind kRecordKinds[];
const int kRecordKindCount = 6;
// The entry of kRecordKinds for kind; null for an unknown kind.
const RecordKind *record_kind(int32_t kind);

// Each appends one item, numbered within info's record by its kind: the first item of a kind is
// 0. The four SDK kinds keep their count in the uninstall_*_total fields, which therefore tell
// how many items of the kind the record holds while installing as well. 0, or -1 when memory is
// too short to hold one more item.
int record_file(SetupInfo *info, const char *path);
int record_key(SetupInfo *info, const char *text);  // "HKLM\key\path,value name", key created here
int record_dir(SetupInfo *info, const char *path);
int record_assoc(SetupInfo *info, const char *extension, const char *program);  // "ext,program"
int record_value(SetupInfo *info, const char *text);        // "HKLM\key\path,value name", key was there
int record_created_key(SetupInfo *info, const char *text);  // "HKLM\key\path"

// 0 and the value copied into buffer (size bytes) when the item exists and fits; -1 otherwise.
int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size);
