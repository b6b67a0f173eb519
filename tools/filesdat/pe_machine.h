// The machine type a Windows program or library is built for, read from its PE header: setup.exe
// loads only hook and resource libraries of its own machine type.
#pragma once

#include <cstdint>
#include <string>

const uint16_t kMachineI386 = 0x14c;
const uint16_t kMachineAmd64 = 0x8664;

// Reads the Machine field of the file's PE header into *machine. False with *why set when the
// file cannot be read or is no Windows program (no "MZ" header, a PE header outside the file or
// without its signature); a short or damaged file is such a case, never read past its end.
bool read_pe_machine(const std::string &path, uint16_t *machine, std::string *why);
// "i686", "x86_64", or "machine 0x1c4" for the others.
std::string machine_name(uint16_t machine);
