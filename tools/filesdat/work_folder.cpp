// Work folders of product runs: named OUTPUT.work-PID, and OUTPUT.work-PID.gone while an
// interrupted run removes its own.
#include "work_folder.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "file_io.h"
#include "folder_tree.h"

std::string replaced_output(const std::string &work) { return join_path(work, "old"); }

namespace {

const char kWorkTag[] = ".work-";
const char kGoneTag[] = ".gone";

std::string base_name(const std::string &path) {
  std::string parent = parent_of(path);
  size_t start = parent.size();
  while (start < path.size() && (path[start] == '/' || path[start] == kSeparator)) ++start;
  return path.substr(start);
}

// The process id in name when name is a work folder name for output base, else 0.
unsigned long work_owner(const std::string &name, const std::string &base) {
  std::string prefix = base + kWorkTag;
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  std::string rest = name.substr(prefix.size());
  size_t gone = rest.size() > sizeof kGoneTag - 1 ? rest.size() - (sizeof kGoneTag - 1) : std::string::npos;
  if (gone != std::string::npos && rest.compare(gone, std::string::npos, kGoneTag) == 0) rest.erase(gone);
  if (rest.empty() || rest.size() > 10 || rest.find_first_not_of("0123456789") != std::string::npos) return 0;
  return strtoul(rest.c_str(), nullptr, 10);
}

// What stood at output goes back when the run had moved it into folder and nothing took its place.
void put_back(const std::string &folder, const std::string &output) {
  std::string old = replaced_output(folder);
  if (path_exists(old) && !path_exists(output)) move_path(old, output);
}

}  // namespace

std::string work_folder_for(const std::string &output) {
  return output + kWorkTag + std::to_string(process_id());
}

bool abandon_work(const std::string &work, const std::string &output) {
  put_back(work, output);
  // Under another name first, so that a run still writing cannot add to the folder being removed.
  std::string gone = work + kGoneTag;
  bool moved = !path_exists(gone) && move_path(work, gone);
  return remove_tree(moved ? gone : work);
}

void sweep_stale_work(const std::string &output) {
  std::string parent = parent_of(output), base = base_name(output);
  std::vector<std::string> names;
  if (base.empty() || !list_folder(parent.empty() ? "." : parent, &names)) return;
  for (const std::string &name : names) {
    unsigned long owner = work_owner(name, base);
    if (owner == 0 || (owner != process_id() && process_running(owner))) continue;
    std::string stale = join_path(parent, name);
    put_back(stale, output);
    remove_tree(stale);
  }
}
