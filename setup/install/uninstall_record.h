// The uninstall record: every item the installation creates, kept in SetupInfo while installing
// and stored under HKLM\Software\Quorvane\<product>\uninstall at the end.
#pragma once

#include <cstddef>

#include "install/change_writer.h"

// Writes the record's items under the product's key; the levels of that key the writing creates
// are recorded first, so that the uninstaller removes them again once they are empty. The items of
// a record already there (an earlier installation's, or what a stopped uninstall did not remove)
// that this installation did not record again are kept, numbered before this run's.
// 0, or -1 when the key cannot be created (also for an empty product name or one with a backslash);
// the key and the system's reason are then noted for the install sequence to show.
int write_uninstall_record(ChangeWriter *writer);
// Reads the record into uninstall_items (and the four SDK kinds' totals). A missing total reads as
// 0; a missing or unreadable numbered text gives no item. The registry copy stays until
// delete_uninstall_record, so an uninstall stopped part-way leaves the record for the next run.
// Returns 0.
int read_uninstall_record(SetupInfo *info);
// The record's key below HKLM, "Software\Quorvane\<product>\uninstall", into out (size bytes):
// 1, or 0 when the product name is empty or holds a backslash (such a product has no record).
int uninstall_record_path(const SetupInfo *info, char *out, size_t size);
// Deletes the record from the registry once the removal is done, and the product's key with it
// when nothing else is left in that key.
void delete_uninstall_record(SetupInfo *info);
