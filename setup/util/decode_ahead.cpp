// The decoding thread beside the copy step, and the bounded queue of pieces between the two.
#include "util/decode_ahead.h"

#include <cstring>
#include <new>

#include "heap.h"
#include "util/files_dat.h"
#include "util/lzma_group.h"
#include "util/message_pump.h"
#include "win_file.h"

namespace {

const size_t kPiece = LzmaGroupReader::kPiece;
const uint32_t kSlots = DecodeAhead::kQueueBytes / kPiece;

// One piece of a member. A member takes one slot or more: its first tells whether it could be
// begun (when not, that slot is also its last), its last whether it came whole and checked.
struct Slot {
  uint32_t index;
  uint32_t plan_at;  // the member's place in the plan
  bool first;
  bool last;
  bool ok;
  bool end_of_plan;  // the thread has nothing more
  size_t length;
  unsigned char *bytes;
};

bool more_than_one_processor() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  return system.dwNumberOfProcessors > 1;
}

}  // namespace

// A ring of slots: the thread fills the one at tail, the copy step takes the one at head. Only the
// count of filled slots and the flags are shared, under the lock; an event is set only for a side
// that waits, so a queue that neither fills nor runs dry costs no call into the system.
struct AheadQueue {
  CRITICAL_SECTION lock;
  HANDLE data_ready = nullptr;   // for a copy step waiting on an empty queue
  HANDLE space_ready = nullptr;  // for a thread waiting on a full one, and for a stop
  Slot slots[kSlots];
  uint32_t head = 0, tail = 0;
  uint32_t filled = 0;
  bool taker_waiting = false, decoder_waiting = false, stop = false;

  AheadQueue() {
    InitializeCriticalSection(&lock);
    memset(slots, 0, sizeof slots);
  }
  ~AheadQueue() {
    for (Slot &slot : slots) heap_free(slot.bytes);
    if (data_ready) CloseHandle(data_ready);
    if (space_ready) CloseHandle(space_ready);
    DeleteCriticalSection(&lock);
  }
  bool allocate() {
    data_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    space_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (Slot &slot : slots)
      if (!(slot.bytes = static_cast<unsigned char *>(heap_alloc(kPiece)))) return false;
    return data_ready && space_ready;
  }

  // The thread's side: the slot to fill next, null once the copy step asked it to stop.
  Slot *claim() {
    EnterCriticalSection(&lock);
    while (filled == kSlots && !stop) {
      decoder_waiting = true;
      LeaveCriticalSection(&lock);
      WaitForSingleObject(space_ready, INFINITE);
      EnterCriticalSection(&lock);
    }
    bool stopped = stop;
    LeaveCriticalSection(&lock);
    if (stopped) return nullptr;
    Slot *slot = &slots[tail];
    slot->length = 0;
    slot->first = slot->last = slot->ok = slot->end_of_plan = false;
    return slot;
  }
  void publish() {
    tail = (tail + 1) % kSlots;
    EnterCriticalSection(&lock);
    ++filled;
    if (taker_waiting) {
      taker_waiting = false;
      SetEvent(data_ready);
    }
    LeaveCriticalSection(&lock);
  }

  // The copy step's side: the next filled slot, waited for with the windows kept painted.
  Slot *peek() {
    EnterCriticalSection(&lock);
    while (filled == 0) {
      taker_waiting = true;
      LeaveCriticalSection(&lock);
      wait_pumping();
      EnterCriticalSection(&lock);
    }
    LeaveCriticalSection(&lock);
    return &slots[head];
  }
  void release() {
    head = (head + 1) % kSlots;
    EnterCriticalSection(&lock);
    --filled;
    if (decoder_waiting) {
      decoder_waiting = false;
      SetEvent(space_ready);
    }
    LeaveCriticalSection(&lock);
  }
  void request_stop() {
    EnterCriticalSection(&lock);
    stop = true;
    SetEvent(space_ready);
    LeaveCriticalSection(&lock);
  }

  // Timers stay pending for their loop and must not end the wait; the timeout only bounds how long
  // a message that arrived some other way waits for its turn.
  void wait_pumping() {
    for (;;) {
      DWORD woken = MsgWaitForMultipleObjects(1, &data_ready, FALSE, 100, QS_ALLINPUT & ~QS_TIMER);
      if (woken == WAIT_OBJECT_0) return;
      pump_pending_messages();
      if (woken == WAIT_TIMEOUT || woken == WAIT_FAILED) return;  // the caller looks at the count again
    }
  }
};

namespace {

// Hands a member's content to the queue's slots, a slot at a time, each marked as the member's.
class QueueSink : public MemberSink {
 public:
  QueueSink(AheadQueue *queue, Slot *first)
      : queue_(queue), slot_(first), index_(first->index), plan_at_(first->plan_at) {}
  int Take(const unsigned char *data, size_t n) override {
    while (n > 0) {
      if (!slot_ && !next_slot()) return 0;
      size_t room = kPiece - slot_->length, part = n < room ? n : room;
      memcpy(slot_->bytes + slot_->length, data, part);
      slot_->length += part;
      data += part;
      n -= part;
      if (slot_->length == kPiece) {
        queue_->publish();
        slot_ = nullptr;
      }
    }
    return 1;
  }
  // The member's last slot, with its result; false when the thread is to stop.
  bool finish(bool ok) {
    if (!slot_ && !next_slot()) return false;
    slot_->last = true;
    slot_->ok = ok;
    queue_->publish();
    return true;
  }

 private:
  bool next_slot() {
    if (!(slot_ = queue_->claim())) return false;
    slot_->index = index_;
    slot_->plan_at = plan_at_;
    return true;
  }

  AheadQueue *queue_;
  Slot *slot_;
  uint32_t index_, plan_at_;
};

}  // namespace

DecodeAhead::DecodeAhead() : queue_(nullptr), thread_(nullptr) {}

DecodeAhead::~DecodeAhead() { Stop(); }

int DecodeAhead::Start(const char *archive_path, const ItemList<PlannedMember> &plan) {
  if (thread_ || plan_.size() || !archive_path || plan.size() == 0 || !more_than_one_processor()) return 0;
  archive_path_ = archive_path;
  for (const PlannedMember &member : plan)
    if (!plan_.append(member)) return 0;
  void *memory = heap_alloc(sizeof(AheadQueue));
  if (!memory) return 0;
  queue_ = new (memory) AheadQueue;
  DWORD id = 0;
  if (queue_->allocate()) thread_ = CreateThread(nullptr, 0, thread_main, this, 0, &id);
  if (thread_) return 1;
  Stop();
  return 0;
}

void DecodeAhead::Stop() {
  if (thread_) {
    queue_->request_stop();
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (queue_) {
    queue_->~AheadQueue();
    heap_free(queue_);
    queue_ = nullptr;
  }
}

DWORD WINAPI DecodeAhead::thread_main(void *self) {
  static_cast<DecodeAhead *>(self)->decode_plan();
  return 0;
}

// Each planned member in turn, until the plan ends or the copy step stops the thread. An archive
// that cannot be opened ends the plan at once: the copy step then reads (and fails) by itself.
void DecodeAhead::decode_plan() {
  FilesDat archive;
  bool opened = archive.Open(archive_path_.c_str()) != 0;
  for (uint32_t i = 0; opened && i < plan_.size(); ++i) {
    Slot *first = queue_->claim();
    if (!first) return;
    first->index = plan_[i].index;
    first->plan_at = i;
    first->first = true;
    FilesDatEntry entry;
    bool begun = archive.Find(plan_[i].name.c_str(), &entry) && archive.BeginMember(entry);
    QueueSink sink(queue_, first);
    if (!begun) {
      if (!sink.finish(false)) return;
      continue;
    }
    int ok = archive.ReadMember(&sink);
    if (!sink.finish(ok != 0)) return;
  }
  Slot *end = queue_->claim();
  if (!end) return;
  end->end_of_plan = true;
  queue_->publish();
}

int DecodeAhead::Extract(uint32_t index, const char *name, const char *destination, int *ok,
                         WriteProgress *progress) {
  if (!thread_) return 0;
  Slot *slot = queue_->peek();
  // What the copy step passed over (a file a hook skipped, or found loose after all) is dropped.
  while (!slot->end_of_plan && slot->index < index) {
    queue_->release();
    slot = queue_->peek();
  }
  if (slot->end_of_plan || slot->index != index || !plan_[slot->plan_at].name.equals(name)) return 0;
  *ok = write_member(index, destination, progress);
  return 1;
}

// Takes every slot of the member at the head, writing its content to destination.
int DecodeAhead::write_member(uint32_t index, const char *destination, WriteProgress *progress) {
  Slot *slot = queue_->peek();
  if (slot->last && !slot->ok) {  // damaged before its first byte: the destination is not touched
    queue_->release();
    return 0;
  }
  WinFile output;
  bool created = output.Create(destination) != 0;
  int ok = created;
  for (;;) {
    if (ok && slot->length) {
      ok = output.Write(slot->bytes, slot->length);
      if (progress) progress->Wrote(slot->length);
    }
    bool last = slot->last;
    if (last && !slot->ok) ok = 0;
    queue_->release();
    if (last) break;
    slot = queue_->peek();
    if (slot->end_of_plan || slot->index != index) {  // cannot happen: a member ends with its last slot
      ok = 0;
      break;
    }
  }
  if (created && !output.Close()) ok = 0;
  if (created && !ok) DeleteFileA(destination);
  return ok;
}
