// Reads the sections of setup.ini into SetupInfo, in the order the script is defined.
#include "script/script_reader.h"

#include <cstring>

#include "script/file_type_names.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/files_dat.h"
#include "util/loose_files.h"
#include "util/root_keys.h"

namespace {

// Key name of numbered item n: stem followed by n in decimal ("dir" and 2 give "dir2").
struct ItemKey {
  char text[64];
  ItemKey(const char *stem, unsigned long n) { format_text(text, sizeof text, "%s%lu", stem, n); }
};

// Reads a text key into out when present; leaves out unchanged otherwise.
bool read_text(dIniFile *script, const char *section, const char *key, String &out) {
  char value[260];
  if (!script->GetString(section, key, value, sizeof value)) return false;
  out = value;
  return true;
}

// A total beyond the keys its section holds would have setup read (and keep) billions of empty
// items: it counts as the number of keys.
unsigned long read_total(dIniFile *script, const char *section) {
  unsigned long total = 0;
  if (!script->GetDWORD(section, "total", &total)) return 0;
  unsigned long keys = script->KeyCount(section);
  return total < keys ? total : keys;
}

bool is_letter(const char *text, char lower) {
  const char whole[2] = {lower, 0};
  return ascii_compare_nocase(text, whole) == 0;
}

// The script's resource library must be there and load; reading fails otherwise.
int load_resource_library(SetupInfo *info, dIniFile *script) {
  char name[260];
  if (!script->GetString("RESOURCES", "dllname", name, sizeof name)) return 0;
  DWORD error = 0;
  return load_resource_dll(info, info->source_dir.c_str(), name, &error) == RESOURCE_DLL_LOADED ? 0 : -1;
}

void read_default_dir(SetupInfo *info, dIniFile *script) {
  char value[260];
  if (!script->GetString("DEFAULTDIR", "dir", value, sizeof value)) return;
  char root[260] = {0};
  if (!find_first_drive(root)) root[0] = 0;
  String dir;
  if (value[0] == '@') {
    char program_files_root[260] = {0};
    if (find_program_files(program_files_root)) copy_text(root, sizeof root, program_files_root);
    dir = root;
    dir.append("Program Files\\");
    dir.append(value + 1);
  } else {
    dir = root;
    dir.append(value);
  }
  dir.append('\\', 1);
  dir.append(info->product_name);
  info->install_dir = dir;
}

void read_directories(SetupInfo *info, dIniFile *script) {
  script->HoldSection("DIRECTORIES");
  unsigned long total = read_total(script, "DIRECTORIES");
  for (unsigned long n = 0; n < total; ++n) {
    SetupDir dir;
    if (read_text(script, "DIRECTORIES", ItemKey("dir", n).text, dir.path)) info->dirs.append(dir);
  }
}

// A source counts from the loose file in the source directory when there is one, else from
// the archive member of that name.
uint32_t source_size(SetupInfo *info, FilesDat *archive, LooseFiles *loose_files, const char *source) {
  if (!loose_files->Has(info->source_dir.c_str(), source)) return static_cast<uint32_t>(archive->Size(source));
  String loose = info->source_dir;
  loose.append("\\");
  loose.append(source);
  return static_cast<uint32_t>(loose_or_member_size(archive, loose.c_str()));
}

void read_files(SetupInfo *info, dIniFile *script) {
  // One archive for every member looked up, so its directory is read once, and one listing of
  // the source directory.
  FilesDat archive;
  archive.Open("files.dat");
  LooseFiles loose_files;
  script->HoldSection("FILES");
  unsigned long total = read_total(script, "FILES");
  for (unsigned long n = 0; n < total; ++n) {
    SetupFile file;
    if (read_text(script, "FILES", ItemKey("filesrc", n).text, file.source))
      info->files_size += source_size(info, &archive, &loose_files, file.source.c_str());
    read_text(script, "FILES", ItemKey("filedst", n).text, file.dest);
    info->files.append(file);
  }
}

void read_registry_entry(dIniFile *script, unsigned long n, SetupRegEntry &entry) {
  const char *section = "REGISTRY ENTRIES";
  String base;
  if (read_text(script, section, ItemKey("base", n).text, base)) entry.root = root_from_script_name(base.c_str());
  read_text(script, section, ItemKey("key", n).text, entry.key);
  read_text(script, section, ItemKey("name", n).text, entry.name);
  String type;
  if (read_text(script, section, ItemKey("type", n).text, type)) {
    if (is_letter(type.c_str(), 's')) entry.type = REG_ENTRY_STRING;
    if (is_letter(type.c_str(), 'd')) entry.type = REG_ENTRY_DWORD;
  }
  if (entry.type == REG_ENTRY_STRING && read_text(script, section, ItemKey("value", n).text, entry.string_value))
    entry.dword_value = 0xFFFFFFFFu;
  unsigned long number = 0;
  if (entry.type == REG_ENTRY_DWORD && script->GetDWORD(section, ItemKey("value", n).text, &number)) {
    entry.dword_value = static_cast<uint32_t>(number);
    entry.string_value = "";
  }
}

void read_registry_entries(SetupInfo *info, dIniFile *script) {
  script->HoldSection("REGISTRY ENTRIES");
  unsigned long total = read_total(script, "REGISTRY ENTRIES");
  for (unsigned long n = 0; n < total; ++n) {
    SetupRegEntry entry;
    read_registry_entry(script, n, entry);
    info->reg_entries.append(entry);
  }
}

void read_start_menu(SetupInfo *info, dIniFile *script) {
  const char *section = "STARTMENU ENTRIES";
  script->HoldSection(section);
  if (!read_text(script, section, "basepath", info->start_menu_folder)) return;
  unsigned long total = read_total(script, section);
  for (unsigned long n = 0; n < total; ++n) {
    SetupStartMenu item;
    read_text(script, section, ItemKey("path", n).text, item.path);
    read_text(script, section, ItemKey("name", n).text, item.name);
    read_text(script, section, ItemKey("prog", n).text, item.prog);
    read_text(script, section, ItemKey("args", n).text, item.args);
    read_text(script, section, ItemKey("work", n).text, item.work);
    unsigned long icon = 0;
    if (script->GetDWORD(section, ItemKey("icon", n).text, &icon)) item.icon = static_cast<int32_t>(icon);
    info->start_menu_items.append(item);
  }
}

void read_associations(SetupInfo *info, dIniFile *script) {
  script->HoldSection("ASSOCIATIONS");
  unsigned long total = read_total(script, "ASSOCIATIONS");
  for (unsigned long n = 0; n < total; ++n) {
    SetupAssociation association;
    read_text(script, "ASSOCIATIONS", ItemKey("prog", n).text, association.prog);
    read_text(script, "ASSOCIATIONS", ItemKey("ext", n).text, association.ext);
    unsigned long icon = 0;
    if (script->GetDWORD("ASSOCIATIONS", ItemKey("icon", n).text, &icon))
      association.icon = static_cast<int32_t>(icon);
    String type_name;
    read_text(script, "ASSOCIATIONS", ItemKey("name", n).text, type_name);
    if (type_name.length() && association.ext.length()) set_file_type_name(association.ext.c_str(), type_name.c_str());
    info->associations.append(association);
  }
}

void read_bitmap_name(SetupInfo *info, const char *name) {
  if (name[0] == '%' && name[1] == '1') {
    String path = info->bitmap_dir;
    path.append("\\");
    path.append(name + 2);
    info->bitmap_name = path;
  } else if (name[0] != '%') {
    info->bitmap_name = name;
  }
}

void read_background(SetupInfo *info, dIniFile *script) {
  unsigned long red = 0, green = 0, blue = 0;
  if (!script->GetDWORD("BACKGROUND", "red", &red) || !script->GetDWORD("BACKGROUND", "green", &green) ||
      !script->GetDWORD("BACKGROUND", "blue", &blue))
    return;
  info->has_bitmap = 0;
  char name[260];
  if (script->GetString("BITMAP", "name", name, sizeof name)) {
    read_bitmap_name(info, name);
    char option[260];
    info->bitmap_tiled = script->GetString("BITMAP", "type", option, sizeof option) && is_letter(option, 't');
    info->bitmap_location = (script->GetString("BITMAP", "location", option, sizeof option) && is_letter(option, 'f'))
                                ? BITMAP_FROM_FILE
                                : BITMAP_FROM_RESOURCE;
    info->has_bitmap = 1;
  }
  info->background_color = (red & 255) | ((green & 255) << 8) | ((blue & 255) << 16);
}

void read_dependencies(SetupInfo *info, dIniFile *script) {
  script->HoldSection("DEPEND");
  unsigned long total = read_total(script, "DEPEND");
  for (unsigned long n = 0; n < total; ++n) {
    SetupDependancy dependency;
    if (read_text(script, "DEPEND", ItemKey("depend", n).text, dependency.name))
      info->depend_size += static_cast<uint32_t>(get_file_size(dependency.name.c_str()));
    info->dependencies.append(dependency);
  }
}

void read_numbers(SetupInfo *info, dIniFile *script) {
  unsigned long number = 0;
  if (script->GetDWORD("EXTRASPACE", "bytes", &number)) info->extra_space = static_cast<uint32_t>(number);
  info->space_needed += info->files_size + info->depend_size + info->extra_space;
  if (script->GetDWORD("COPYDELAY", "delay", &number)) info->copy_delay = static_cast<uint32_t>(number);
}

void read_version(SetupInfo *info, dIniFile *script) {
  if (!read_text(script, "VERSION", "nameprefix", info->version_prefix)) return;
  info->has_version = 1;
  struct {
    const char *key;
    uint32_t *field;
  } numbers[] = {{"majorhigh", &info->version_major_high},
                 {"majorlow", &info->version_major_low},
                 {"minorhigh", &info->version_minor_high},
                 {"minorlow", &info->version_minor_low}};
  for (auto &entry : numbers) {
    unsigned long number = 0;
    if (script->GetDWORD("VERSION", entry.key, &number)) *entry.field = static_cast<uint32_t>(number);
  }
}

HBITMAP load_bitmap_from(HINSTANCE module, const SetupInfo *info) {
  if (info->bitmap_location == BITMAP_FROM_FILE)
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, info->bitmap_name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  return LoadBitmapA(module, info->bitmap_name.c_str());
}

int g_background_scale = 1;

void load_background_bitmap(SetupInfo *info) {
  if (!info->has_bitmap) return;
  HBITMAP bitmap = load_bitmap_from(info->resource_instance, info);
  bool own = info->resource_instance == info->setup_instance;
  if (!bitmap) {
    bitmap = load_bitmap_from(info->setup_instance, info);
    own = true;
  }
  // setup's own picture is stored at half its size.
  g_background_scale = bitmap && own && info->bitmap_location != BITMAP_FROM_FILE ? 2 : 1;
  info->background_bitmap = bitmap;
  if (!bitmap) info->has_bitmap = 0;
}

}  // namespace

int background_scale() { return g_background_scale; }

int load_resource_dll(SetupInfo *info, const char *directory, const char *name, DWORD *error) {
  info->resource_dll_path = directory;
  info->resource_dll_path.append("\\");
  info->resource_dll_path.append(name);
  const char *path = info->resource_dll_path.c_str();
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return RESOURCE_DLL_MISSING;
  HMODULE library = LoadLibraryA(path);
  if (!library) {
    *error = GetLastError();
    return RESOURCE_DLL_UNLOADABLE;
  }
  info->resource_instance = library;
  info->has_resource_dll = 1;
  return RESOURCE_DLL_LOADED;
}

int read_script(SetupInfo *info, dIniFile *script, HINSTANCE instance, const char *source_dir) {
  info->source_dir = source_dir;
  info->script_path = source_dir;
  info->script_path.append("\\setup.ini");
  script->Open(info->script_path.c_str());
  read_text(script, "PRODUCTNAME", "name", info->product_name);
  info->resource_instance = instance;
  info->setup_instance = instance;
  info->has_resource_dll = 0;
  if (load_resource_library(info, script) != 0) return -1;
  read_default_dir(info, script);
  read_directories(info, script);
  read_files(info, script);
  read_registry_entries(info, script);
  read_start_menu(info, script);
  read_associations(info, script);
  read_background(info, script);
  read_dependencies(info, script);
  read_numbers(info, script);
  read_version(info, script);
  load_background_bitmap(info);
  return 0;
}
