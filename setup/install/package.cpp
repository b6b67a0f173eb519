// package.dat: packing the product's dependency files at install time and unpacking them for uninstall.
#include "install/package.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"

namespace {

const char kEntryTag = '^';
const char kEndTag = '%';
const size_t kNameField = 260;

// Owns one malloc'ed block.
class Block {
 public:
  explicit Block(size_t size) : data_(static_cast<unsigned char *>(calloc(size, 1))) {}
  ~Block() { free(data_); }
  Block(const Block &) = delete;
  Block &operator=(const Block &) = delete;
  unsigned char *get() const { return data_; }

 private:
  unsigned char *data_;
};

void put_u32(unsigned char *out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t get_u32(const unsigned char *in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

// Joins directory and name with exactly one backslash between them.
int join_path(char *out, size_t size, const char *dir, const char *name) {
  size_t length = strlen(dir);
  bool has_separator = length > 0 && (dir[length - 1] == '\\' || dir[length - 1] == '/');
  return format_text(out, size, has_separator ? "%s%s" : "%s\\%s", dir, name);
}

// Size of an open file in bytes, or -1 when it cannot be told or passes 2 GiB (the package's
// 32-bit size fields could not describe it anyway).
long file_size(const WinFile &file) {
  uint64_t size = 0;
  if (!file.Size(&size) || size > 0x7FFFFFFF) return -1;
  return static_cast<long>(size);
}

// Device names that Windows resolves in any folder; a file of that name would reach the device.
bool is_device_name(const char *component, size_t length) {
  size_t stem = 0;
  while (stem < length && component[stem] != '.') ++stem;
  if (stem < 3 || stem > 6) return false;
  static const char *const kDevices[] = {"con",  "prn",  "aux",  "nul",  "clock$", "com1", "com2", "com3",
                                         "com4", "com5", "com6", "com7", "com8",   "com9", "lpt1", "lpt2",
                                         "lpt3", "lpt4", "lpt5", "lpt6", "lpt7",   "lpt8", "lpt9"};
  for (const char *device : kDevices)
    if (ascii_equals_nocase(component, stem, device)) return true;
  return false;
}

// A member name from package.dat may only name a file inside the target directory: no root,
// no drive or stream colon, no component made of dots (which would climb out), no device.
bool member_name_is_safe(const char *name) {
  if (name[0] == 0 || name[0] == '\\' || name[0] == '/') return false;
  for (const char *c = name; *c; ++c)
    if (*c == ':' || static_cast<unsigned char>(*c) < 0x20) return false;
  const char *component = name;
  for (;;) {
    size_t length = strcspn(component, "\\/");
    bool only_dots = length > 0;
    for (size_t i = 0; i < length; ++i)
      if (component[i] != '.' && component[i] != ' ') only_dots = false;
    if (only_dots || is_device_name(component, length)) return false;
    if (component[length] == 0) return true;
    component += length + 1;
  }
}

// Writes one member's bytes into the target directory and schedules it for deletion at restart.
// A name that would leave the directory, or names a folder inside it, is skipped (true); false
// when the file could not be written whole.
bool write_member(const char *target_dir, const char *name, const unsigned char *bytes, uint32_t size) {
  char path[MAX_PATH];
  if (!member_name_is_safe(name) || name[strcspn(name, "\\/")]) return true;
  if (!join_path(path, sizeof path, target_dir, name)) return false;
  WinFile out;
  if (!out.Create(path)) return false;
  bool written = size == 0 || out.Write(bytes, size);
  written = out.Close() && written;
  mark_file_for_deletion(path);
  return written;
}

// Reads the entry after a tag byte and unpacks it: 1 done, 0 when the package is damaged (the
// name has no terminator, or the size runs past the bytes left in the file), -1 when the member
// could not be written.
int extract_entry(WinFile *package, long package_size, const char *target_dir) {
  char name[kNameField];
  unsigned char size_field[4];
  if (!package->ReadExact(name, sizeof name) || !package->ReadExact(size_field, sizeof size_field)) return 0;
  if (memchr(name, 0, sizeof name) == nullptr) return 0;
  uint32_t size = get_u32(size_field);
  uint64_t position = package->Position();
  if (position > static_cast<uint64_t>(package_size)) return 0;
  if (size > static_cast<uint64_t>(package_size) - position) return 0;
  Block bytes(static_cast<size_t>(size) + 1);
  if (!bytes.get()) return -1;
  if (!package->ReadExact(bytes.get(), size)) return 0;
  return write_member(target_dir, name, bytes.get(), size) ? 1 : -1;
}

}  // namespace

int add_package_member(WinFile *package, const char *name) {
  if (!package || !name || strlen(name) >= kNameField) return 0;
  WinFile in;
  if (!in.OpenRead(name)) return 0;
  long size = file_size(in);
  if (size < 0) return 0;
  Block bytes(static_cast<size_t>(size) + 1);
  if (!bytes.get() || !in.ReadExact(bytes.get(), static_cast<size_t>(size))) return 0;
  in.Close();
  // The tag goes out only now that the whole member is in memory, so a file that cannot be read
  // leaves no half entry behind.
  unsigned char head[1 + kNameField + 4] = {};
  head[0] = kEntryTag;
  memcpy(head + 1, name, strlen(name));
  put_u32(head + 1 + kNameField, static_cast<uint32_t>(size));
  if (!package->Write(head, sizeof head)) return 0;
  if (size > 0 && !package->Write(bytes.get(), static_cast<size_t>(size))) return 0;
  return 1;
}

int write_package(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  char path[MAX_PATH];
  if (!join_path(path, sizeof path, info->install_dir.c_str(), "package.dat")) return 0;
  if (!writer->file_before(path)) return 0;
  WinFile package;
  if (!package.Create(path)) {
    writer->file_not_written(path);
    return 0;
  }
  for (info->dependencies_cursor = info->dependencies.begin(); info->dependencies_cursor != info->dependencies.end();
       ++info->dependencies_cursor)
    add_package_member(&package, info->dependencies_cursor->name.c_str());
  // A package that could not be written out whole is reported like one that could not be made:
  // a write that failed on the way (a full disk) is remembered by the file.
  bool ok = package.Write(&kEndTag, 1) && !package.write_failed();
  unsigned long size = static_cast<unsigned long>(package.Position());
  ok = package.Close() && ok;
  if (ok) log_line("file: package -> %s (%lu bytes)", path, size);
  return ok ? 1 : 0;
}

int extract_package(const char *install_dir, const char *target_dir) {
  char path[MAX_PATH];
  if (!join_path(path, sizeof path, install_dir, "package.dat")) return 0;
  WinFile package;
  if (!package.OpenRead(path)) return 0;
  long package_size = file_size(package);
  if (package_size < 0) return 0;
  for (;;) {
    int tag = package.ReadByte();
    if (tag == kEndTag) return 1;
    // The end of the file or a read error before the terminator: the package is damaged.
    if (tag < 0) return 0;
    int r = extract_entry(&package, package_size, target_dir);
    if (r != 1) return r;
  }
}
