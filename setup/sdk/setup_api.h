// Export marker of setup's interface: setup.exe exports these names (it is built with
// SETUP_BUILD defined), hook libraries import them.
#pragma once

#ifdef SETUP_BUILD
#define SETUP_API __declspec(dllexport)
#else
#define SETUP_API __declspec(dllimport)
#endif
