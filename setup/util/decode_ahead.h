// DecodeAhead: a second thread that reads archive members in the order the copy step will ask for
// them, while the copy step writes the ones before. On a machine with more than one processor the
// decoding of LZMA groups and deflate members then runs beside the writing, instead of before it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "sdk/item_list.h"
#include "sdk/setup_string.h"
#include "util/member_sink.h"

// A member the copy step means to take from the archive: its place in the step's list, its name,
// its size, and the offset of its LZMA group (FilesDat::GroupOf; 0 for another form).
struct PlannedMember {
  uint32_t index;
  String name;
  uint32_t size;
  uint32_t group;
};

struct AheadQueue;

// The plan is cut into runs: the members of one LZMA group that follow each other, or a single
// member of another form. With N threads, thread k decodes runs k, k + N, ... in order, through an
// archive of its own, so that several groups decode at once and the caller's archive stays free
// for anything asked out of order. What a thread has decoded and the caller has not yet taken
// waits in that thread's queue, which holds up to a whole run (16 MB at most) where memory
// allows, 2 MB at least; a thread waits while its queue is full. Memory, per thread: its queue and its
// decoder (an LZMA group's dictionary, files_dat::kMaxGroupDictionary at most).
class DecodeAhead {
 public:
  static const uint32_t kMostThreads = 4;

  DecodeAhead();
  ~DecodeAhead();  // stops the threads
  DecodeAhead(const DecodeAhead &) = delete;
  DecodeAhead &operator=(const DecodeAhead &) = delete;

  // Starts the threads, once per object, one per processor up to kMostThreads, over the archive
  // at archive_path (as FilesDat::Open takes it) for the members of plan, in its order, with
  // increasing indexes. 1 when they run; 0 when the machine has one processor, memory is short
  // or no thread can be made: the caller then reads every member itself.
  int Start(const char *archive_path, const ItemList<PlannedMember> &plan);
  // The planned member of that index and name, written to destination as FilesDat::Extract writes
  // it: the destination deleted again when the member turns out damaged. 1 when a thread had the
  // member, its result in *ok; 0 when none has it (not running, not planned, planned under
  // another name, or a thread could not begin it): the caller reads it itself. Members planned
  // before index that were not asked for are passed over. Messages are pumped while waiting.
  int Extract(uint32_t index, const char *name, const char *destination, int *ok, WriteProgress *progress);
  // Ends the threads as soon as their current pieces are done (at most one piece of decoding).
  void Stop();

 private:
  struct Worker {
    DecodeAhead *owner;
    uint32_t number;
    AheadQueue *queue;
    HANDLE thread;
  };
  static DWORD WINAPI thread_main(void *worker);
  int plan_runs(const ItemList<PlannedMember> &plan, uint32_t workers);
  int start_worker(Worker *worker, size_t queue_bytes);
  void decode_runs(const Worker &worker);
  void pass_over(uint32_t at);
  int write_member(AheadQueue *queue, uint32_t at, const char *destination, WriteProgress *progress);

  ItemList<PlannedMember> plan_;
  ItemList<uint32_t> run_of_;     // for each member of the plan, its run
  ItemList<uint32_t> worker_of_;  // and the thread that decodes it
  String archive_path_;
  Worker workers_[kMostThreads];
  uint32_t worker_count_;
  uint32_t next_;  // the first member of the plan the caller has not come to
};
