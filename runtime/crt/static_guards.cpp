// The one-time construction of function-local static objects. GCC brackets it with these calls
// unless the code is built with -fno-threadsafe-statics. The first byte of a guard is set once its
// object is made (the compiler's own code tests it before calling here), the second while it is
// being made. One re-entrant lock serves every such object of the module, so a constructor may use
// another function-local static, and a second thread waits until the object is made.
#include <windows.h>

#include <cstdint>

#include "static_objects.h"

namespace {

CRITICAL_SECTION g_guard_lock;

volatile unsigned char *guard_bytes(int64_t *guard) { return reinterpret_cast<volatile unsigned char *>(guard); }

}  // namespace

void static_guards_begin() { InitializeCriticalSection(&g_guard_lock); }

void static_guards_end() { DeleteCriticalSection(&g_guard_lock); }

// 1: the caller makes the object and then calls __cxa_guard_release (or __cxa_guard_abort), with
// the lock held until then; 0: the object is made.
extern "C" int __cxa_guard_acquire(int64_t *guard) {
  volatile unsigned char *state = guard_bytes(guard);
  if (state[0]) return 0;
  EnterCriticalSection(&g_guard_lock);
  if (state[0]) {
    LeaveCriticalSection(&g_guard_lock);
    return 0;
  }
  // The object's own constructor reached it again: no way on, as with a C++ runtime's abort.
  if (state[1]) ExitProcess(3);
  state[1] = 1;
  return 1;
}

extern "C" void __cxa_guard_release(int64_t *guard) {
  volatile unsigned char *state = guard_bytes(guard);
  state[1] = 0;
  state[0] = 1;
  LeaveCriticalSection(&g_guard_lock);
}

extern "C" void __cxa_guard_abort(int64_t *guard) {
  guard_bytes(guard)[1] = 0;
  LeaveCriticalSection(&g_guard_lock);
}
