// The static-object lists of a module, and atexit, which GCC's code for static objects calls.
#include "static_objects.h"

#include <cstddef>

#include "exit_list.h"

typedef void (*StaticFunction)();

// The linker's script brackets the .ctors and .dtors input sections with these symbols: the
// first slot holds -1 (or a count), the functions follow, and a null slot ends each list.
extern "C" StaticFunction __CTOR_LIST__[];
extern "C" StaticFunction __DTOR_LIST__[];

namespace {

ExitList g_exit_functions;  // zero-initialised: usable before any constructor ran

}  // namespace

extern "C" int atexit(void (*function)(void)) { return g_exit_functions.Add(function) ? 0 : -1; }

void run_static_constructors() {
  static_guards_begin();
  size_t count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (size_t i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

void run_static_destructors() {
  for (size_t i = 1; __DTOR_LIST__[i]; ++i) __DTOR_LIST__[i]();
  g_exit_functions.RunAll();
  static_guards_end();
}
