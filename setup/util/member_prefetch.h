// Inflating the next compressed member of files.dat on a second thread while the copy step puts
// the current one in place: on a machine with two processors the copy then takes about as long as
// the inflating alone. One member at a time, each at most kPrefetchLimit bytes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "scoped.h"
#include "util/files_dat.h"

const uint32_t kPrefetchLimit = 8u * 1024 * 1024;

class MemberPrefetch {
 public:
  MemberPrefetch() = default;
  ~MemberPrefetch();
  MemberPrefetch(const MemberPrefetch &) = delete;
  MemberPrefetch &operator=(const MemberPrefetch &) = delete;

  // Opens the archive at path (as FilesDat::Open does) for the second thread and starts it. false
  // when either fails: nothing is then prefetched.
  bool start(const char *archive_path);
  // Inflates name next; what an earlier request gave and was not taken is dropped.
  void request(const char *name);
  // Waits for the request of name, if that is the one under way. true with the member's whole,
  // checked content in *data (malloc'ed: the caller frees it); false when name was not asked for,
  // or did not come whole (stored, too large, damaged, memory short).
  bool take(const char *name, unsigned char **data, uint32_t *size);

 private:
  static DWORD WINAPI run(void *self);
  void wait_until_done();

  FilesDat archive_;  // the second thread's alone while it runs
  ScopedHandle wake_;
  ScopedHandle done_;
  ScopedHandle thread_;
  // Written by the copy step while the second thread waits, read by it after wake_; its result is
  // written by the second thread before done_, read by the copy step after it.
  char name_[MAX_PATH] = {0};
  bool busy_ = false;
  bool quit_ = false;
  bool whole_ = false;
  unsigned char *data_ = nullptr;
  uint32_t size_ = 0;
};
