// Constructors and destructors of a module's static objects, for the entry points of programs
// and libraries that carry no C runtime.
#pragma once

// Runs the constructors the linker gathered from .ctors, in the toolchain's order (the list
// backwards), after making the lock of function-local statics. Constructors register their
// objects' destructors with atexit.
void run_static_constructors();
// Runs the .dtors list, then every function registered with atexit, the last registered first;
// then the lock of function-local statics goes.
void run_static_destructors();

// The lock behind the guards of function-local static objects (static_guards.cpp).
void static_guards_begin();
void static_guards_end();
