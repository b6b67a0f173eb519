// Where a call of a pure virtual function ends: through an object under construction or
// destruction, or one already destroyed. The program cannot go on, and ends as a C++ runtime's
// abort would end it.
#include <windows.h>

extern "C" void __cxa_pure_virtual() {
  OutputDebugStringA("pure virtual function called\n");
  ExitProcess(3);
}
