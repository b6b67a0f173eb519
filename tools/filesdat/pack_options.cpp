// Options of create and product: the form members are packed in and the size of LZMA groups.
#include "pack_options.h"

#include <cstring>

namespace {

const char kCompress[] = "--compress=";
const char kGroupSize[] = "--group-size=";

bool starts_with(const char *text, const char *prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// A decimal number, optionally followed by K or M, from kMinGroupSize to kMaxGroupSize bytes.
bool parse_group_size(const char *text, uint32_t *out) {
  uint64_t value = 0;
  const char *p = text;
  for (; *p >= '0' && *p <= '9' && value <= kMaxGroupSize; ++p) value = value * 10 + static_cast<uint64_t>(*p - '0');
  if (p == text) return false;
  if ((*p == 'K' || *p == 'k') && p[1] == 0) value <<= 10;
  else if ((*p == 'M' || *p == 'm') && p[1] == 0) value <<= 20;
  else if (*p != 0) return false;
  if (value < kMinGroupSize || value > kMaxGroupSize) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int parse_pack_option(const char *arg, PackOptions *pack, std::string *problem) {
  if (strcmp(arg, "--store") == 0) {
    pack->form = PackForm::kStore;
    return 1;
  }
  if (starts_with(arg, kCompress)) {
    const char *form = arg + strlen(kCompress);
    if (strcmp(form, "lzma") == 0) pack->form = PackForm::kLzma;
    else if (strcmp(form, "deflate") == 0) pack->form = PackForm::kDeflate;
    else if (strcmp(form, "store") == 0) pack->form = PackForm::kStore;
    else {
      *problem = "bad form \"" + std::string(form) + "\" for --compress: give lzma, deflate or store";
      return -1;
    }
    return 1;
  }
  if (starts_with(arg, kGroupSize)) {
    if (parse_group_size(arg + strlen(kGroupSize), &pack->group_size)) return 1;
    *problem = "bad group size \"" + std::string(arg + strlen(kGroupSize)) + "\": give 4K to 64M (bytes, or K or M)";
    return -1;
  }
  return 0;
}
