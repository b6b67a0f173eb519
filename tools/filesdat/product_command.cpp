// filesdat product: from a script and a payload folder to a product ready to ship, as a folder or
// as one .exe (setup.exe with the product appended, sdk/bundle_format.h).
#include <cstring>
#include <vector>

#include "bundle_format.h"
#include "commands.h"
#include "file_io.h"
#include "folder_tree.h"
#include "interrupt_cleanup.h"
#include "messages.h"
#include "product_output.h"
#include "staged_file.h"
#include "work_folder.h"

namespace {

// Appends the whole of source to out (the file target); says what failed.
bool append_file(FILE *out, const std::string &target, const std::string &source) {
  FILE *in = fopen(source.c_str(), "rb");
  if (!in) {
    report("cannot read %s: %s", source.c_str(), error_text().c_str());
    return false;
  }
  std::vector<char> chunk(1 << 16);
  bool written = true;
  for (size_t n; written && (n = fread(chunk.data(), 1, chunk.size(), in)) > 0;)
    written = fwrite(chunk.data(), 1, n, out) == n;
  bool read = !ferror(in);
  fclose(in);
  if (!read) report("cannot read %s: %s", source.c_str(), error_text().c_str());
  if (!written) report("cannot write %s: %s", target.c_str(), error_text().c_str());
  return read && written;
}

// A copy of source at target, written under a temporary name until it is whole.
bool copy_file(const std::string &source, const std::string &target) {
  StagedFile out;
  if (!out.open(target)) return false;
  if (append_file(out.stream(), target, source)) return out.commit();
  out.discard();
  return false;
}

bool file_length(const std::string &path, uint64_t *length) {
  FILE *file = fopen(path.c_str(), "rb");
  bool ok = file && stream_length(file, length);
  if (file) fclose(file);
  return ok;
}

// The product folder at folder: setup.exe, files.dat packed from the payload, and the parts.
bool write_folder(const ProductOptions &options, const std::string &folder, const std::vector<ProductPart> &parts) {
  if (!make_dirs(folder)) {
    report("cannot create folder %s: %s", folder.c_str(), error_text().c_str());
    return false;
  }
  if (run_create_from_script(join_path(folder, "files.dat"), options.payload, options.pack, options.script) != 0)
    return false;
  bool ok = copy_file(options.kit.setup, join_path(folder, "setup.exe"));
  for (const ProductPart &part : parts) ok = ok && copy_file(part.source, join_path(folder, part.name));
  return ok;
}

// The one-file installer at target: setup.exe, the product's archive, an archive of the parts,
// the trailer. Its pieces are made in work.
bool write_one_file(const ProductOptions &options, const std::string &work, const std::string &target,
                    const std::vector<ProductPart> &parts) {
  std::string archive = join_path(work, "files.dat");
  if (run_create_from_script(archive, options.payload, options.pack, options.script) != 0) return false;
  std::string support = join_path(work, "support.dat"), staging = join_path(work, "parts");
  std::vector<std::string> names;
  if (!make_dirs(staging)) {
    report("cannot create folder %s: %s", staging.c_str(), error_text().c_str());
    return false;
  }
  for (const ProductPart &part : parts) {
    if (!copy_file(part.source, join_path(staging, part.name))) return false;
    names.push_back(part.name);
  }
  if (run_create(support, staging, options.pack, names, true) != 0) return false;
  const std::string &setup = options.kit.setup;
  uint64_t setup_length = 0, archive_length = 0;
  if (!file_length(setup, &setup_length) || !file_length(archive, &archive_length) ||
      setup_length + archive_length > 0xFFFFFFFFu) {
    report("cannot put %s and its product into one file of less than 4 GiB", setup.c_str());
    return false;
  }
  bundle::Trailer trailer = {static_cast<uint32_t>(setup_length), static_cast<uint32_t>(setup_length + archive_length)};
  unsigned char raw[bundle::kTrailerSize];
  bundle::encode_trailer(trailer, raw);
  StagedFile out;
  if (!out.open(target)) return false;
  FILE *file = out.stream();
  bool ok = append_file(file, target, setup) && append_file(file, target, archive) &&
            append_file(file, target, support);
  if (ok && fwrite(raw, 1, sizeof raw, file) != sizeof raw) {
    report("cannot write %s: %s", target.c_str(), error_text().c_str());
    ok = false;
  }
  if (ok) return out.commit();
  out.discard();
  return false;
}

// What the product is made from: an output holding any of them is never replaced.
std::vector<std::string> product_inputs(const ProductOptions &options, const std::vector<ProductPart> &parts) {
  std::string beside = parent_of(options.script);
  std::vector<std::string> inputs = {beside.empty() ? "." : beside, options.payload, options.kit.setup};
  for (const ProductPart &part : parts) inputs.push_back(part.source);
  return inputs;
}

// Makes the product in the work folder and puts it in place at output.
bool make_product(const ProductOptions &options, const std::string &work, const std::vector<ProductPart> &parts) {
  std::string made = join_path(work, "product");
  if (!make_dirs(work)) {
    report("cannot create folder %s: %s", work.c_str(), error_text().c_str());
    return false;
  }
  bool ok = options.one_file ? write_one_file(options, work, made, parts) : write_folder(options, made, parts);
  return ok && put_in_place(made, work, options.output);
}

}  // namespace

int run_product(const ProductOptions &given) {
  ProductOptions options = given;
  options.output = product_output_name(given.output, given.one_file);
  sweep_stale_work(options.output);
  std::vector<ProductPart> parts;
  if (check_product(options.script, options.payload, true, options.kit, &parts) != 0) {
    report("%s has errors: no product was written", options.script.c_str());
    return 1;
  }
  if (!output_usable(options.output, {options.one_file, options.replace, product_inputs(options, parts)})) return 1;
  std::string work = work_folder_for(options.output);
  if (!clean_up_on_interrupt(work, options.output)) return 1;
  bool ok = make_product(options, work, parts);
  if (!remove_tree(work)) report("cannot remove %s: %s", work.c_str(), error_text().c_str());
  end_interrupt_cleanup();
  if (ok) printf("%s: %s\n", options.one_file ? "one-file installer" : "product folder", options.output.c_str());
  return ok ? 0 : 1;
}
