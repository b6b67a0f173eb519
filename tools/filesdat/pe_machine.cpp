// The machine type of a PE file: the "MZ" header's pointer at 0x3C leads to "PE\0\0", followed by
// the file header whose first field is the machine.
#include "pe_machine.h"

#include <cstdio>

#include "file_io.h"

namespace {

const uint64_t kPointerOffset = 0x3C;
const size_t kSignatureAndMachine = 6;  // "PE\0\0" and the 16-bit machine

uint32_t little_endian(const unsigned char *bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// Reads exactly count bytes at offset, which the caller has checked against the file's length.
bool read_at(FILE *file, uint64_t offset, unsigned char *bytes, size_t count) {
  return seek_to(file, offset) && fread(bytes, 1, count, file) == count;
}

bool read_machine(FILE *file, uint16_t *machine, std::string *why) {
  uint64_t length = 0;
  unsigned char bytes[kSignatureAndMachine];
  if (!stream_length(file, &length) || length < kPointerOffset + 4 || !read_at(file, 0, bytes, 2) ||
      bytes[0] != 'M' || bytes[1] != 'Z') {
    *why = "no MZ header";
    return false;
  }
  if (!read_at(file, kPointerOffset, bytes, 4)) {
    *why = "cannot read its header";
    return false;
  }
  uint64_t header = little_endian(bytes, 4);
  if (header + kSignatureAndMachine > length) {
    *why = "its PE header would lie past the end of the file";
    return false;
  }
  if (!read_at(file, header, bytes, kSignatureAndMachine) || bytes[0] != 'P' || bytes[1] != 'E' || bytes[2] != 0 ||
      bytes[3] != 0) {
    *why = "no PE signature where its header points";
    return false;
  }
  *machine = static_cast<uint16_t>(little_endian(bytes + 4, 2));
  return true;
}

}  // namespace

bool read_pe_machine(const std::string &path, uint16_t *machine, std::string *why) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) {
    *why = "cannot read it: " + error_text();
    return false;
  }
  bool ok = read_machine(file, machine, why);
  fclose(file);
  if (!ok) *why = "not a Windows program: " + *why;
  return ok;
}

std::string machine_name(uint16_t machine) {
  if (machine == kMachineI386) return "i686";
  if (machine == kMachineAmd64) return "x86_64";
  char text[24];
  snprintf(text, sizeof text, "machine 0x%x", static_cast<unsigned>(machine));
  return text;
}
