// ExitList: a fixed table, since atexit may be called before the heap is wanted.
#include "exit_list.h"

int ExitList::Add(ExitFunction fn) {
  if (!fn || count < 0 || count >= kCapacity) return 0;
  functions[count++] = fn;
  return 1;
}

void ExitList::RunAll() {
  while (count > 0 && count <= kCapacity) {
    ExitFunction fn = functions[--count];
    fn();
  }
}
