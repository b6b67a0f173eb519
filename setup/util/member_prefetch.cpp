// The second thread of the copy step: it waits for a member's name, inflates the member into
// memory and says it is done; the copy step hands it the next name once it has taken the last.
#include "util/member_prefetch.h"

#include <cstdlib>
#include <cstring>

#include "util/bounded_text.h"

MemberPrefetch::~MemberPrefetch() {
  if (thread_.valid()) {
    wait_until_done();
    quit_ = true;
    SetEvent(wake_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  free(data_);
}

bool MemberPrefetch::start(const char *archive_path) {
  if (thread_.valid() || !archive_.Open(archive_path)) return false;
  wake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  done_.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
  if (!wake_.valid() || !done_.valid()) return false;
  DWORD id = 0;
  thread_.reset(CreateThread(nullptr, 0, run, this, 0, &id));
  return thread_.valid();
}

void MemberPrefetch::wait_until_done() {
  if (busy_) WaitForSingleObject(done_.get(), INFINITE);
  busy_ = false;
}

void MemberPrefetch::request(const char *name) {
  if (!thread_.valid()) return;
  wait_until_done();
  free(data_);
  data_ = nullptr;
  whole_ = false;
  if (!copy_text(name_, sizeof name_, name)) return;
  busy_ = true;
  ResetEvent(done_.get());
  SetEvent(wake_.get());
}

bool MemberPrefetch::take(const char *name, unsigned char **data, uint32_t *size) {
  if (!thread_.valid() || !name_[0] || strcmp(name_, name) != 0) return false;
  wait_until_done();
  name_[0] = 0;  // taken: a second take of the same name extracts it anew
  if (!whole_) return false;
  *data = data_;
  *size = size_;
  data_ = nullptr;
  return true;
}

DWORD WINAPI MemberPrefetch::run(void *self) {
  MemberPrefetch *prefetch = static_cast<MemberPrefetch *>(self);
  for (;;) {
    WaitForSingleObject(prefetch->wake_.get(), INFINITE);
    if (prefetch->quit_) return 0;
    prefetch->whole_ = prefetch->archive_.InflateToMemory(prefetch->name_, kPrefetchLimit, &prefetch->data_,
                                                          &prefetch->size_) != 0;
    SetEvent(prefetch->done_.get());
  }
}
