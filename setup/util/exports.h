// Export marker for setup's utility library: setup.exe exports these names, hook libraries import them.
#pragma once

#ifdef SETUP_BUILD
#define SETUP_API __declspec(dllexport)
#else
#define SETUP_API __declspec(dllimport)
#endif
