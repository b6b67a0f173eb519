// setup's interface for hook libraries (dsetup.dll). Include this one header.
//
// What a hook library must know that the declarations below do not say:
//
// Compiler. setup.exe is built with the mingw-w64 GCC toolchain (i686-w64-mingw32-g++). The
//   interface is C++: class layouts, the virtual table of SetupDispatchTable, name mangling and
//   the calling convention of member functions (thiscall on i686: `this` in ECX, arguments on the
//   stack, popped by the callee) are those of GCC. Build hook libraries with the same compiler
//   family; another C++ compiler would mangle, lay out and call differently.
//
// Linking. Import everything from setup.exe through its import library (libsetup.a: link with
//   -L<sdk>/lib -lsetup). The names are bound to the running setup.exe when setup loads the
//   library, so a hook library cannot be loaded by any other program.
//
// Entry point. Export, with C linkage and by that exact name,
//     extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *info, int reserved);
//   setup calls it once, before it reads setup.ini, and uses the table object it returns until
//   it unloads the library at the end of the run. Return a static object (never null).
//
// Hooks. Derive from SetupDispatchTable and override the hooks you need; the others return 0.
//   Results: 0 go on, 1 cancelled, -1 failure; 2 or 3 from a Before...Dialog hook skip that dialog.
//   Hooks run on setup's one thread; a hook may show its own dialogs and message boxes.
//
// Memory. Every String and item list inside SetupInfo belongs to setup. Change strings only
//   through String's assignment and append operators and add items only through ItemList::append;
//   never free, keep or write into the text that c_str() returns. The copy hooks receive their two
//   String arguments by value: setup makes the copies before the call and destroys them after it
//   returns, so the hook neither frees them nor keeps a pointer into them.
//   setup.exe carries no C runtime and keeps its own heap. Strings and item lists take their
//   memory from it wherever they grow: String's methods run inside setup.exe, and ItemList calls
//   setup_alloc and setup_free, which setup.exe exports. Never hand setup a block from your own
//   malloc or new, nor free one of setup's with your own free. A hook library built with an older
//   item_list.h, whose ItemList called malloc itself, must be rebuilt before it appends to a list.
//
// Widths. The number fields of SetupInfo and its items are 32 bits wide (int32_t, uint32_t), as
//   are `unsigned long` and `int` on Windows; HWND, HBITMAP, HINSTANCE and pointers are as wide as
//   the platform's pointers. Field order is part of the interface.
//
// Exceptions. None cross the interface: setup is built without them and a hook must catch its own.
//
// C runtime. A hook library may bring its own C runtime, or none: the example's Makefile links the
//   kit's runtime library (libsetupcrt.a: entry point, static objects, new and delete on the
//   library's own heap) and no C runtime DLL, so it loads on every Windows setup runs on.
//   setup exports SetupDispatchTable's run-time type information, so a hook library may be built
//   with or without it (-fno-rtti).
#pragma once

#include "dispatch_table.h"
#include "item_list.h"
#include "reg_key.h"
#include "setup_results.h"
#include "setup_api.h"
#include "setup_info.h"
#include "setup_string.h"
#include "utilities.h"
