// ExitList: the functions registered with atexit (destructors of static objects among them),
// run once at the end, the last registered first.
#pragma once

typedef void (*ExitFunction)();

// Zero-initialised static storage is an empty list: it works before any constructor has run.
struct ExitList {
  static const int kCapacity = 64;
  // 1 when fn was added; 0 when fn is null or the list is full.
  int Add(ExitFunction fn);
  // Runs every function, newest first, and forgets it; a function that registers another while
  // the list runs has it run next.
  void RunAll();

  ExitFunction functions[kCapacity];
  int count;
};
