// The decoding thread beside the copy step, and the bounded queue of pieces between the two.
#include "util/decode_ahead.h"

#include <cstring>
#include <new>

#include "heap.h"
#include "util/files_dat.h"
#include "util/lzma_group.h"
#include "util/message_pump.h"

namespace {

const size_t kPiece = LzmaGroupReader::kPiece;
// A thread's queue holds a whole group of the packer's default size where memory allows, so that
// the next group decodes while the copy step writes this one; otherwise at least a few pieces
// ahead. Each member takes a piece's memory at least, however small it is.
const size_t kLargestQueue = 16u << 20;
const size_t kSmallestQueue = 2u << 20;

// One piece of a member. A member takes one slot or more: its first tells whether it could be
// begun (when not, that slot is also its last), its last whether it came whole and checked.
struct Slot {
  uint32_t plan_at;  // the member's place in the plan
  bool begun;
  bool last;
  bool ok;
  size_t length;
  unsigned char *bytes;
};

uint32_t processor_count() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  return system.dwNumberOfProcessors;
}

// What each thread's queue may hold: half the memory free now, shared among the threads beside
// their dictionaries, between the smallest and the largest queue.
size_t queue_bytes_for(uint32_t workers) {
  MEMORYSTATUS status;
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  size_t share = status.dwAvailPhys / 2 / workers;
  size_t room = share > files_dat::kMaxGroupDictionary ? share - files_dat::kMaxGroupDictionary : 0;
  return room < kSmallestQueue ? kSmallestQueue : room > kLargestQueue ? kLargestQueue : room;
}

}  // namespace

// A ring of slots: the thread fills the one at tail, the copy step takes the one at head. Only the
// count of filled slots and the flags are shared, under the lock; an event is set only for a side
// that waits, so a queue that neither fills nor runs dry costs no call into the system.
struct AheadQueue {
  CRITICAL_SECTION lock;
  HANDLE data_ready = nullptr;   // for a copy step waiting on an empty queue
  HANDLE space_ready = nullptr;  // for a thread waiting on a full one, and for a stop
  Slot *slots = nullptr;
  uint32_t count = 0;
  uint32_t head = 0, tail = 0;
  uint32_t filled = 0;
  bool taker_waiting = false, decoder_waiting = false, stop = false;

  AheadQueue() { InitializeCriticalSection(&lock); }
  ~AheadQueue() {
    for (uint32_t i = 0; slots && i < count; ++i) heap_free(slots[i].bytes);
    heap_free(slots);
    if (data_ready) CloseHandle(data_ready);
    if (space_ready) CloseHandle(space_ready);
    DeleteCriticalSection(&lock);
  }
  bool allocate(uint32_t slot_count) {
    data_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    space_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    slots = static_cast<Slot *>(heap_alloc_zeroed(slot_count, sizeof(Slot)));
    if (!slots) return false;
    count = slot_count;
    for (uint32_t i = 0; i < count; ++i)
      if (!(slots[i].bytes = static_cast<unsigned char *>(heap_alloc(kPiece)))) return false;
    return data_ready && space_ready;
  }
  // The thread's side: the slot to fill next, null once the copy step asked it to stop.
  Slot *claim() {
    EnterCriticalSection(&lock);
    while (filled == count && !stop) {
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
    slot->begun = slot->last = slot->ok = false;
    return slot;
  }
  void publish() {
    tail = (tail + 1) % count;
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
    head = (head + 1) % count;
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
  QueueSink(AheadQueue *queue, Slot *first) : queue_(queue), slot_(first), plan_at_(first->plan_at) {}
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
    slot_->plan_at = plan_at_;
    return true;
  }

  AheadQueue *queue_;
  Slot *slot_;
  uint32_t plan_at_;
};

}  // namespace

DecodeAhead::DecodeAhead() : workers_(), worker_count_(0), next_(0) {}

DecodeAhead::~DecodeAhead() { Stop(); }

int DecodeAhead::Start(const char *archive_path, const ItemList<PlannedMember> &plan) {
  uint32_t workers = processor_count();
  if (workers > kMostThreads) workers = kMostThreads;
  if (worker_count_ || plan_.size() || !archive_path || plan.size() == 0 || workers < 2) return 0;
  archive_path_ = archive_path;
  if (!plan_runs(plan, workers)) return 0;
  size_t queue_bytes = queue_bytes_for(workers);
  for (uint32_t i = 0; i < workers; ++i) {
    workers_[i].owner = this;
    workers_[i].number = i;
    worker_count_ = i + 1;
    if (!start_worker(&workers_[i], queue_bytes)) {
      Stop();
      return 0;
    }
  }
  return 1;
}

// The members in order, each with the thread of its run. The bytes a thread's queue is to hold
// at most are then bounded by what that thread decodes.
int DecodeAhead::plan_runs(const ItemList<PlannedMember> &plan, uint32_t workers) {
  uint32_t run = 0;
  for (uint32_t i = 0; i < plan.size(); ++i) {
    bool same_run = i > 0 && plan[i].group != 0 && plan[i].group == plan[i - 1].group;
    if (i > 0 && !same_run) ++run;
    if (!plan_.append(plan[i]) || !run_of_.append(run) || !worker_of_.append(run % workers)) return 0;
  }
  return 1;
}

int DecodeAhead::start_worker(Worker *worker, size_t queue_bytes) {
  // Each member takes a slot of its own at least; the queue need not hold more than the longest
  // run the thread decodes.
  uint64_t needed = 1, run = 0;
  for (uint32_t i = 0; i < plan_.size(); ++i) {
    if (worker_of_[i] != worker->number) continue;
    bool same_run = i > 0 && run_of_[i] == run_of_[i - 1];
    run = (same_run ? run : 0) + 1 + plan_[i].size / kPiece;
    if (run > needed) needed = run;
  }
  uint64_t most = queue_bytes / kPiece;
  uint32_t slots = static_cast<uint32_t>(needed < most ? needed : most);
  void *memory = heap_alloc(sizeof(AheadQueue));
  if (!memory) return 0;
  worker->queue = new (memory) AheadQueue;
  DWORD id = 0;
  if (worker->queue->allocate(slots < 2 ? 2 : slots)) worker->thread = CreateThread(nullptr, 0, thread_main, worker, 0, &id);
  return worker->thread != nullptr;
}

void DecodeAhead::Stop() {
  for (uint32_t i = 0; i < worker_count_; ++i)
    if (workers_[i].thread) workers_[i].queue->request_stop();
  for (uint32_t i = 0; i < worker_count_; ++i) {
    Worker &worker = workers_[i];
    if (worker.thread) {
      WaitForSingleObject(worker.thread, INFINITE);
      CloseHandle(worker.thread);
      worker.thread = nullptr;
    }
    if (worker.queue) {
      worker.queue->~AheadQueue();
      heap_free(worker.queue);
      worker.queue = nullptr;
    }
  }
  worker_count_ = 0;
}

DWORD WINAPI DecodeAhead::thread_main(void *worker) {
  Worker *self = static_cast<Worker *>(worker);
  self->owner->decode_runs(*self);
  return 0;
}

// The thread's members in turn, until its last or until the copy step stops it. A member that
// cannot be begun (an archive that cannot be opened, say) is marked so; the copy step then reads
// it by itself.
void DecodeAhead::decode_runs(const Worker &worker) {
  FilesDat archive;
  bool opened = archive.Open(archive_path_.c_str()) != 0;
  for (uint32_t i = 0; i < plan_.size(); ++i) {
    if (worker_of_[i] != worker.number) continue;
    Slot *first = worker.queue->claim();
    if (!first) return;
    first->plan_at = i;
    FilesDatEntry entry;
    first->begun = opened && archive.Find(plan_[i].name.c_str(), &entry) && archive.BeginMember(entry);
    QueueSink sink(worker.queue, first);
    int ok = first->begun && archive.ReadMember(&sink);
    if (!sink.finish(ok != 0)) return;
  }
}

int DecodeAhead::Extract(uint32_t index, const char *name, const char *destination, int *ok,
                         WriteProgress *progress) {
  if (!worker_count_) return 0;
  // What the copy step passed over (a file a hook skipped, or found loose after all) is dropped.
  while (next_ < plan_.size() && plan_[next_].index < index) pass_over(next_++);
  if (next_ == plan_.size() || plan_[next_].index != index) return 0;
  uint32_t at = next_++;
  AheadQueue *queue = workers_[worker_of_[at]].queue;
  if (!plan_[at].name.equals(name) || !queue->peek()->begun) {
    pass_over(at);
    return 0;
  }
  *ok = write_member(queue, at, destination, progress);
  return 1;
}

// Drops every slot of the member at plan position at: its thread's queue begins with them, as the
// copy step has taken all that thread decoded before.
void DecodeAhead::pass_over(uint32_t at) {
  AheadQueue *queue = workers_[worker_of_[at]].queue;
  for (;;) {
    Slot *slot = queue->peek();
    if (slot->plan_at != at) return;  // cannot happen: a member ends with its last slot
    bool last = slot->last;
    queue->release();
    if (last) return;
  }
}

// Takes every slot of the member at plan position at, writing its content to destination.
int DecodeAhead::write_member(AheadQueue *queue, uint32_t at, const char *destination, WriteProgress *progress) {
  MemberFile output(destination, progress);
  int ok = output.Create();
  for (Slot *slot = queue->peek();; slot = queue->peek()) {
    if (slot->plan_at != at) {  // cannot happen: a member ends with its last slot
      ok = 0;
      break;
    }
    if (ok && slot->length) ok = output.Take(slot->bytes, slot->length);
    bool last = slot->last;
    if (last && !slot->ok) ok = 0;
    queue->release();
    if (last) break;
  }
  return output.Finish(ok);
}
