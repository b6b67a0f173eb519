// Constructors and destructors of a module's static objects, for the entry points of programs
// and libraries that carry no C runtime.
#pragma once

// Runs the constructors the linker gathered from .ctors, in the toolchain's order (the list
// backwards). Constructors register their objects' destructors with atexit.
void run_static_constructors();
// Runs the .dtors list, then every function registered with atexit, the last registered first.
void run_static_destructors();
