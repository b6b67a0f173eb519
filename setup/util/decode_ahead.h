// DecodeAhead: a second thread that reads archive members in the order the copy step will ask for
// them, while the copy step writes the ones before. On a machine with more than one processor the
// decoding of LZMA groups and deflate members then runs beside the writing, instead of before it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "sdk/item_list.h"
#include "sdk/setup_string.h"
#include "util/member_sink.h"

// A member the copy step means to take from the archive: its place in the step's list, and its name.
struct PlannedMember {
  uint32_t index;
  String name;
};

struct AheadQueue;

// The thread reads through an archive of its own, so the caller's archive stays free for anything
// asked out of order. What it has decoded and the caller has not yet taken waits in a queue of at
// most kQueueBytes; the thread waits while the queue is full. Memory: the queue and the decoder of
// the thread's archive (an LZMA group's dictionary, files_dat::kMaxGroupDictionary at most).
class DecodeAhead {
 public:
  static const size_t kQueueBytes = 2 * 1024 * 1024;

  DecodeAhead();
  ~DecodeAhead();  // stops the thread
  DecodeAhead(const DecodeAhead &) = delete;
  DecodeAhead &operator=(const DecodeAhead &) = delete;

  // Starts the thread, once per object, over the archive at archive_path (as FilesDat::Open takes it) for the members
  // of plan, in its order, with increasing indexes. 1 when it runs; 0 when the machine has one
  // processor, memory is short or no thread can be made: the caller then reads every member itself.
  int Start(const char *archive_path, const ItemList<PlannedMember> &plan);
  // The planned member of that index and name, written to destination as FilesDat::Extract writes
  // it: nothing written when the member is damaged, the destination deleted again when it fails
  // later. 1 when the thread had the member, its result in *ok; 0 when it does not have it (not
  // running, not planned, or planned under another name): the caller reads it itself. Members
  // planned before index that were not asked for are passed over. Messages are pumped while waiting.
  int Extract(uint32_t index, const char *name, const char *destination, int *ok, WriteProgress *progress);
  // Ends the thread as soon as its current piece is done (at most one piece of decoding).
  void Stop();

 private:
  static DWORD WINAPI thread_main(void *self);
  void decode_plan();
  int write_member(uint32_t index, const char *destination, WriteProgress *progress);

  AheadQueue *queue_;
  ItemList<PlannedMember> plan_;
  String archive_path_;
  HANDLE thread_;
};
