// The commands of filesdat. Each returns the process exit status (0 success, 1 failure)
// and reports every failure on stderr.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "group_pack.h"
#include "product_parts.h"

// How members are packed: in LZMA groups of at most group_size bytes of content (a larger member
// alone in its group), each deflated where that makes it smaller than its block pairs, or all
// stored as block pairs. block_size 0 fits each stored member's block size to its length.
enum class PackForm { kLzma, kDeflate, kStore };
struct PackOptions {
  uint32_t block_size = 0;
  PackForm form = PackForm::kLzma;
  uint32_t group_size = kDefaultGroupSize;
};

// Writes a new archive holding the named files (names relative to source_dir). Nothing is left
// under the archive's name unless the whole archive was written. Names are stored tidied
// (backslashes, no "." or empty parts), or exactly as given when names_as_written.
int run_create(const std::string &archive, const std::string &source_dir, const PackOptions &options,
               const std::vector<std::string> &names, bool names_as_written);
// Packs the files that the script's [FILES] section names, each stored under its filesrc text.
int run_create_from_script(const std::string &archive, const std::string &source_dir, const PackOptions &options,
                           const std::string &script_path);
// What `filesdat product` makes: from the script and its payload folder, a product folder or one
// .exe at output, made with the kit's files.
struct ProductOptions {
  std::string script;
  std::string payload;
  std::string output;
  bool one_file = false;
  bool replace = false;  // an output that is not a product made before is replaced rather than refused
  KitFiles kit;
  PackOptions pack;
};
// Checks the script (stopping on an error), packs its files and writes the product.
int run_product(const ProductOptions &options);

// Reports every problem setup would meet in the script and every reason `filesdat product` would
// refuse it (product_parts.h), one line each; 1 when any is an error. With a payload folder, also
// the files that the script names but that are not in it. *parts receives what the product ships.
int check_product(const std::string &script_path, const std::string &payload_dir, bool payload_given,
                  const KitFiles &kit, std::vector<ProductPart> *parts);
int run_check(const std::string &script_path, const std::string &payload_dir, bool payload_given,
              const KitFiles &kit);
// Prints size and name of every member.
int run_list(const std::string &archive);
// Checks the directory and every entry; prints a summary, or the damage found.
int run_verify(const std::string &archive);
// Writes the named members (all when names is empty) below output_dir. Members whose names would
// leave output_dir are refused.
int run_extract(const std::string &archive, const std::string &output_dir, const std::vector<std::string> &names);
