// The Start-menu step: shortcuts below the Programs folder, including the uninstall shortcut.
#include "install/start_menu.h"

#include <windows.h>

#include <cstring>

#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/start_menu_folder.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kDefaultShellFolders[] =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A relative part stays below the Programs folder: no drive, no leading separator, no "..".
bool stays_inside(const char *part) {
  if (part[0] == '\\' || part[0] == '/' || strchr(part, ':')) return false;
  for (const char *p = part; *p;) {
    size_t n = strcspn(p, "\\/");
    if (n == 2 && p[0] == '.' && p[1] == '.') return false;
    p += n;
    if (*p) ++p;
  }
  return true;
}

void tell_debugger(const char *what, const SetupStartMenu &item) {
  String text = "setup: shortcut \"";
  text.append(item.name);
  text.append("\" not created: ");
  text.append(what);
  text.append("\n");
  OutputDebugStringA(text.c_str());
}

void apply_special_folder_rule(SetupInfo *info, SetupStartMenu *item) {
  if (!kSpecialFolderName[0] || !kSpecialProductName[0]) return;
  if (!strstr(info->start_menu_folder.c_str(), kSpecialFolderName)) return;
  String first;
  String rest;
  split_folder_name(item->path.c_str(), &first, &rest);
  if (ascii_compare_nocase(first.c_str(), kSpecialProductName) != 0) return;
  item->path = kSpecialFolderName;
  item->path.append(rest);
}

void make_uninstall_shortcut(SetupInfo *info, SetupStartMenu *item) {
  item->prog = "setup.exe";
  item->args = "-u1 \"";
  item->args.append(info->product_name);
  item->args.append("\" 0");
  item->work = "";
}

}  // namespace

int read_programs_folder(char *out) {
  int nt = is_this_winnt();
  kRegKey key;
  if (!key.Open(nt ? HKEY_LOCAL_MACHINE : HKEY_USERS, nt ? kShellFolders : kDefaultShellFolders)) return 0;
  char folder[MAX_PATH] = {0};
  if (!key.GetString(nt ? "Common Programs" : "Programs", folder, sizeof folder) || !folder[0]) return 0;
  key.Close();
  return copy_text(out, MAX_PATH, folder);
}

int create_shortcut(ChangeWriter *writer, const SetupStartMenu &item) {
  SetupInfo *info = writer->info();
  char programs[MAX_PATH];
  if (!read_programs_folder(programs)) {
    tell_debugger("the Programs folder is not in the registry", item);
    return 0;
  }
  if (!stays_inside(item.path.c_str()) || !stays_inside(item.name.c_str())) {
    tell_debugger("its folder or name leads out of the Programs folder", item);
    return 0;
  }
  String folder = programs;
  if (item.path.length()) {
    folder.append("\\");
    folder.append(item.path);
  }
  String file = folder;
  file.append("\\");
  file.append(item.name);
  file.append(".lnk");
  String work = info->install_dir;
  if (item.work.length()) {
    work.append("\\");
    work.append(item.work);
  }
  String target = work;
  target.append("\\");
  target.append(item.prog);

  writer->create_directory(folder.c_str(), true);
  // The Programs folder itself is never the product's to remove.
  if (item.path.length()) writer->record_directory(folder.c_str());
  if (!writer->file_before(file.c_str())) {
    tell_debugger("a shortcut of that name is there and cannot be kept", item);
    return 0;
  }
  if (create_start_link(target.c_str(), file.c_str(), nullptr, item.args.c_str(), work.c_str(), target.c_str(),
                        item.icon)) {
    log_line("shortcut: %s -> %s", file.c_str(), target.c_str());
  } else {
    writer->file_not_written(file.c_str());
  }
  if (is_regular_file(file.c_str())) writer->file_made(file.c_str());
  return 0;
}

int create_start_menu_entries(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  for (uint32_t i = 0; i < info->start_menu_items.size(); ++i) {
    info->start_menu_items_cursor = &info->start_menu_items[i];
    SetupStartMenu item = info->start_menu_items[i];
    apply_special_folder_rule(info, &item);
    if (item.prog.equals("%1")) make_uninstall_shortcut(info, &item);
    create_shortcut(writer, item);
  }
  info->start_menu_items_cursor = info->start_menu_items.end();
  return 0;
}
