// The four registry helpers of the tuner: each opens its key for one access and closes it again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Reads a value as text into buffer (capacity bytes). Returns the number of bytes placed there,
// terminator included, or 0 when the key or value cannot be read or does not fit; then the buffer
// holds empty text. The stored type is not checked; a missing terminator is supplied if it fits.
int RegReadString(HKEY root, const char *subkey, const char *name, char *buffer, size_t capacity);

// Reads a value of at most 4 bytes as a 32-bit number; a shorter value is zero-extended.
// Returns 4 and stores the number through value (which may be null), or returns 0 and stores 0
// on any failure, a value longer than 4 bytes included. The stored type is not checked.
int RegReadDword(HKEY root, const char *subkey, const char *name, int32_t *value);

// Writes text as REG_SZ, creating the key when it cannot be opened. Returns 1 when written, else 0.
int RegWriteString(HKEY root, const char *subkey, const char *name, const char *text);

// Writes a REG_DWORD, creating the key when it cannot be opened. Returns 1 when written, else 0.
int RegWriteDword(HKEY root, const char *subkey, const char *name, int32_t value);
