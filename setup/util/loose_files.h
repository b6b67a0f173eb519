// Which sources lie in the source directory as loose files. Asking the file system about each of
// thousands of names that are not there costs far more than listing the directory once, so the
// directory is listed at the first question and plain names are answered from the list; any name
// the list cannot answer for certain is asked of the file system as before.
#pragma once

#include "sdk/item_list.h"
#include "sdk/setup_string.h"

class LooseFiles {
 public:
  // 1 when dir\name is a file rather than a directory or nothing. The first directory asked
  // about is the one listed; names in any other are asked of the file system.
  int Has(const char *dir, const char *name);

 private:
  enum State { UNLISTED, LISTED, UNLISTABLE };
  void list(const char *dir);
  // 1 when the list holds text as a long or short name, in any ASCII case.
  bool listed(const char *text, size_t length) const;

  State state_ = UNLISTED;
  String dir_;
  ItemList<String> names_;  // each entry's long name, then its short name when it has another
};
