// filesdat: the product maker's tool that packs, lists, checks and unpacks files.dat archives.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive_entry.h"
#include "commands.h"
#include "messages.h"

namespace {

const int kUsageStatus = 2;

const char kUsage[] =
    "usage: filesdat create ARCHIVE [-C DIR] [-b BLOCKSIZE] NAME...\n"
    "       filesdat list ARCHIVE\n"
    "       filesdat extract ARCHIVE [-C DIR] [NAME...]\n"
    "       filesdat verify ARCHIVE\n"
    "\n"
    "create   packs the named files (relative to DIR, default the current folder) into ARCHIVE;\n"
    "         each is stored under its name with backslashes, as setup looks it up.\n"
    "         BLOCKSIZE is 1 to 16777216 bytes, default 65536.\n"
    "list     prints the size and name of every member.\n"
    "extract  writes the named members (default all) below DIR (default the current folder).\n"
    "verify   checks the directory and every member's position; exits 1 on damage.\n";

int usage_error(const char *problem) {
  if (problem) report("%s", problem);
  fputs(kUsage, stderr);
  return kUsageStatus;
}

struct Arguments {
  std::string dir;
  bool dir_given = false;
  uint32_t block_size = kDefaultBlockSize;
  bool block_given = false;
  std::vector<std::string> names;
};

// Block sizes are plain decimal numbers from 1 to kMaxBlockSize.
bool parse_block_size(const char *text, uint32_t *out) {
  if (!*text || strlen(text) > 9) return false;
  unsigned long value = 0;
  for (const char *p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<unsigned long>(*p - '0');
  }
  if (value < 1 || value > kMaxBlockSize) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

// Options and names after the archive. -C and -b may come anywhere before "--".
bool parse_arguments(int argc, char **argv, int first, Arguments *args, std::string *problem) {
  bool options = true;
  for (int i = first; i < argc; ++i) {
    const char *arg = argv[i];
    if (options && strcmp(arg, "--") == 0) {
      options = false;
    } else if (options && (strcmp(arg, "-C") == 0 || strcmp(arg, "-b") == 0)) {
      if (i + 1 >= argc) {
        *problem = std::string(arg) + " needs a value";
        return false;
      }
      const char *value = argv[++i];
      if (arg[1] == 'C') {
        args->dir = value;
        args->dir_given = true;
      } else if (!parse_block_size(value, &args->block_size)) {
        *problem = "bad block size \"" + std::string(value) + "\": give a number from 1 to " +
                   std::to_string(kMaxBlockSize);
        return false;
      } else {
        args->block_given = true;
      }
    } else if (options && arg[0] == '-' && arg[1] != 0) {
      *problem = "unknown option " + std::string(arg);
      return false;
    } else {
      args->names.push_back(arg);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 2 && (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0)) {
    fputs(kUsage, stdout);
    return 0;
  }
  if (argc < 3) return usage_error(argc < 2 ? nullptr : "missing ARCHIVE");
  std::string command = argv[1], archive = argv[2];
  Arguments args;
  std::string problem;
  if (!parse_arguments(argc, argv, 3, &args, &problem)) return usage_error(problem.c_str());

  if (command == "create") {
    if (args.names.empty()) return usage_error("create needs at least one NAME");
    return run_create(archive, args.dir, args.block_size, args.names);
  }
  if (args.block_given) return usage_error("-b is only for create");
  if (command == "extract") return run_extract(archive, args.dir, args.names);
  if (args.dir_given || !args.names.empty()) return usage_error(("too many arguments for " + command).c_str());
  if (command == "list") return run_list(archive);
  if (command == "verify") return run_verify(archive);
  return usage_error(("unknown command " + command).c_str());
}
