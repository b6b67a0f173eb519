// filesdat: the product maker's tool that packs, lists, checks and unpacks files.dat archives.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "block_limits.h"
#include "commands.h"
#include "file_io.h"
#include "messages.h"
#include "pack_options.h"

namespace {

const int kUsageStatus = 2;
const char *const kCommands[] = {"create", "list", "extract", "verify", "check", "product"};

const char kUsage[] =
    "usage: filesdat create ARCHIVE [-C DIR] [PACKING] NAME...\n"
    "       filesdat create ARCHIVE [-C DIR] [PACKING] --script SETUP.INI\n"
    "       filesdat list ARCHIVE\n"
    "       filesdat extract ARCHIVE [-C DIR] [NAME...]\n"
    "       filesdat verify ARCHIVE\n"
    "       filesdat check SETUP.INI [-C DIR] [--setup SETUP.EXE] [--hooks DSETUP.DLL]\n"
    "       filesdat product SETUP.INI -C DIR -o OUTPUT [--one-file] [--replace]\n"
    "                [--setup SETUP.EXE] [--hooks DSETUP.DLL] [PACKING]\n"
    "       filesdat help | --help | --version      (--help also after any command)\n"
    "\n"
    "create   packs the named files (relative to DIR, default the current folder) into ARCHIVE;\n"
    "         each is stored under its name with backslashes, as setup looks it up.\n"
    "         With --script, packs every file that the script's [FILES] section names\n"
    "         (its filesrc values, read as setup reads them), each stored under its\n"
    "         filesrc text; NAMEs cannot be given as well.\n"
    "         PACKING is --compress=FORM, --group-size=SIZE and -b BLOCKSIZE:\n"
    "         lzma     (the default) members in the order they install, in groups of\n"
    "                  at most SIZE bytes (default 16M; 4K to 64M, K or M for KiB or\n"
    "                  MiB) compressed together; a larger file has a group of its own,\n"
    "                  and a large file deflate cannot shrink is deflated alone. About\n"
    "                  half the size of deflate; setup needs 4 MB more memory and\n"
    "                  decodes about three times slower (see the guide).\n"
    "         deflate  each member compressed alone where that makes it smaller, for\n"
    "                  setups made before LZMA groups and the slowest machines.\n"
    "         store    (or --store) every member stored as block pairs, as setups made\n"
    "                  before compressed archives read them. Each stored member's block\n"
    "                  size is fitted to its length (at most 65536 bytes); -b gives\n"
    "                  every one BLOCKSIZE instead, 1 to 16777216 bytes.\n"
    "list     prints the size and name of every member.\n"
    "extract  writes the named members (default all) below DIR (default the current folder).\n"
    "verify   checks the directory and every member's position; exits 1 on damage.\n"
    "check    reads SETUP.INI as setup will and prints each problem as\n"
    "         SETUP.INI:LINE: [SECTION] key: message (warnings say \"warning:\"), and applies\n"
    "         every rule that product applies to the files it ships (SETUP.INI: message where\n"
    "         no line is at fault); with -C, also the files it names that are not in DIR.\n"
    "         Exits 1 when any problem is an error.\n"
    "product  checks SETUP.INI against the payload folder DIR, packs it and writes the product\n"
    "         ready to ship: the folder OUTPUT with setup.exe, setup.ini, files.dat, license.txt\n"
    "         (beside SETUP.INI), the hook library (dsetup.dll beside SETUP.INI, else the\n"
    "         default one) and the resource library and dependencies the script names; with\n"
    "         --one-file, the single installer OUTPUT holding all of it (\".exe\" is added to\n"
    "         a name without it). OUTPUT must be new, empty or a product filesdat wrote, which\n"
    "         is replaced; --replace replaces whatever else stands there. Libraries must be of\n"
    "         setup.exe's machine type. setup.exe and the default hook library\n"
    "         (default_dsetup.dll) are taken from beside filesdat unless --setup and --hooks\n"
    "         name others; check compares with them only where it finds them.\n";

int usage_error(const char *problem) {
  if (problem) report("%s", problem);
  fputs(kUsage, stderr);
  return kUsageStatus;
}

struct Arguments {
  std::string dir;
  bool dir_given = false;
  PackOptions pack;
  bool block_given = false;
  bool packing_given = false;  // --compress, --store or --group-size
  std::vector<std::string> names;
  std::string script;
  bool script_given = false;
  std::string output;
  bool one_file = false;
  bool replace = false;
  std::string setup;
  std::string hooks;
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

// Options and names after the archive. -C, -b and --script may come anywhere before "--".
bool parse_arguments(int argc, char **argv, int first, Arguments *args, std::string *problem) {
  bool options = true;
  int packing = 0;
  for (int i = first; i < argc; ++i) {
    const char *arg = argv[i];
    if (options && strcmp(arg, "--") == 0) {
      options = false;
    } else if (options && (strcmp(arg, "-C") == 0 || strcmp(arg, "-b") == 0 || strcmp(arg, "--script") == 0)) {
      if (i + 1 >= argc) {
        *problem = std::string(arg) + " needs a value";
        return false;
      }
      const char *value = argv[++i];
      if (arg[1] == '-') {
        args->script = value;
        args->script_given = true;
      } else if (arg[1] == 'C') {
        args->dir = value;
        args->dir_given = true;
      } else if (!parse_block_size(value, &args->pack.block_size)) {
        *problem = "bad block size \"" + std::string(value) + "\": give a number from 1 to " +
                   std::to_string(kMaxBlockSize);
        return false;
      } else {
        args->block_given = true;
      }
    } else if (options && (strcmp(arg, "-o") == 0 || strcmp(arg, "--setup") == 0 || strcmp(arg, "--hooks") == 0)) {
      if (i + 1 >= argc) {
        *problem = std::string(arg) + " needs a value";
        return false;
      }
      std::string *target = arg[1] == 'o' ? &args->output : arg[2] == 's' ? &args->setup : &args->hooks;
      *target = argv[++i];
    } else if (options && strcmp(arg, "--one-file") == 0) {
      args->one_file = true;
    } else if (options && strcmp(arg, "--replace") == 0) {
      args->replace = true;
    } else if (options && (packing = parse_pack_option(arg, &args->pack, problem)) != 0) {
      if (packing < 0) return false;
      args->packing_given = true;
    } else if (options && arg[0] == '-' && arg[1] != 0) {
      *problem = "unknown option " + std::string(arg);
      return false;
    } else {
      args->names.push_back(arg);
    }
  }
  return true;
}

// help, --help (also anywhere after a command, before "--") and --version answer on stdout; an
// unknown command is named. True when the arguments were answered so, with *status.
bool answer_without_command(int argc, char **argv, int *status) {
  if (argc < 2) return false;
  const char *command = argv[1];
  if (strcmp(command, "--version") == 0) {
    printf("filesdat %s\n", FILESDAT_VERSION);
    *status = 0;
    return true;
  }
  bool help = strcmp(command, "help") == 0;
  for (int i = 1; i < argc && !help && strcmp(argv[i], "--") != 0; ++i)
    help = strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0;
  if (help) {
    fputs(kUsage, stdout);
    *status = 0;
    return true;
  }
  for (const char *known : kCommands)
    if (strcmp(command, known) == 0) return false;
  *status = usage_error(("unknown command \"" + std::string(command) + "\"").c_str());
  return true;
}

// setup.exe and the default hook library: named by --setup and --hooks, else beside filesdat.
KitFiles kit_files(const char *argv0, const Arguments &args, bool required) {
  std::string folder = program_folder(argv0);
  KitFiles kit;
  kit.setup = args.setup.empty() ? join_path(folder, "setup.exe") : args.setup;
  kit.default_hooks = args.hooks.empty() ? join_path(folder, "default_dsetup.dll") : args.hooks;
  kit.required = required;
  return kit;
}

}  // namespace

int main(int argc, char **argv) {
  int status = 0;
  if (answer_without_command(argc, argv, &status)) return status;
  if (argc < 3) {
    if (argc < 2) return usage_error(nullptr);
    return usage_error(strcmp(argv[1], "check") == 0 ? "missing SETUP.INI" : "missing ARCHIVE");
  }
  std::string command = argv[1], archive = argv[2];  // for check, the script
  Arguments args;
  std::string problem;
  if (!parse_arguments(argc, argv, 3, &args, &problem)) return usage_error(problem.c_str());

  if (command == "create") {
    if (args.script_given && !args.names.empty()) return usage_error("create takes NAMEs or --script, not both");
    if (args.script_given) return run_create_from_script(archive, args.dir, args.pack, args.script);
    if (args.names.empty()) return usage_error("create needs at least one NAME");
    return run_create(archive, args.dir, args.pack, args.names, false);
  }
  if (command == "product") {
    if (args.output.empty() || !args.dir_given) return usage_error("product needs -C DIR and -o OUTPUT");
    if (!args.names.empty() || args.block_given || args.script_given)
      return usage_error(
          "product takes SETUP.INI, -C, -o, --one-file, --replace, --setup, --hooks, --compress and --group-size only");
    ProductOptions product;
    product.script = archive;
    product.payload = args.dir;
    product.output = args.output;
    product.one_file = args.one_file;
    product.replace = args.replace;
    product.pack = args.pack;
    product.kit = kit_files(argv[0], args, true);
    return run_product(product);
  }
  if (!args.output.empty() || args.one_file || args.replace)
    return usage_error("-o, --one-file and --replace are only for product");
  if (command != "check" && (!args.setup.empty() || !args.hooks.empty()))
    return usage_error("--setup and --hooks are only for check and product");
  if (args.block_given) return usage_error("-b is only for create");
  if (args.packing_given) return usage_error("--compress, --store and --group-size are only for create and product");
  if (args.script_given) return usage_error("--script is only for create");
  if (command == "check") {
    if (!args.names.empty()) return usage_error("too many arguments for check");
    return run_check(archive, args.dir, args.dir_given,
                     kit_files(argv[0], args, !args.setup.empty() || !args.hooks.empty()));
  }
  if (command == "extract") return run_extract(archive, args.dir, args.names);
  if (args.dir_given || !args.names.empty()) return usage_error(("too many arguments for " + command).c_str());
  if (command == "list") return run_list(archive);
  return run_verify(archive);
}
