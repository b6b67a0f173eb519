// The run's scope as the install sequence lists it for the journal: each thing a step makes is in
// it, what lies beside it is not.
#include <gtest/gtest.h>

#include <string>

#include "install/run_scope.h"
#include "install/start_menu.h"

namespace {

TEST(RunScope, ListsWhatEachStepMakesAndNothingBesideIt) {
  SetupInfo info;
  info.product_name = "Scope Product";
  info.install_dir = "C:\\Scope\\Product";
  info.files.append(SetupFile());
  info.files[0].dest = "%2scope.dll";
  info.start_menu_items.append(SetupStartMenu());
  info.start_menu_items[0].path = "Scope Group";
  info.start_menu_items[0].name = "Tool";
  info.associations.append(SetupAssociation());
  info.associations[0].ext = ".scx";
  JournalScope scope;
  ASSERT_TRUE(list_run_scope(&info, &scope));
  char programs[MAX_PATH], system[MAX_PATH];
  ASSERT_TRUE(read_programs_folder(programs) && GetSystemDirectoryA(system, sizeof system));
  const std::string group = std::string(programs) + "\\Scope Group", dll = std::string(system) + "\\scope.dll";
  const struct { std::string path; bool in; } paths[] = {
      {"c:\\scope\\product\\a\\b.txt", true}, {"C:\\Scope\\ProductX", false},  {group + "\\Tool.lnk", true},
      {group + "\\x\\y", true},               {std::string(programs) + "\\Other.lnk", false},
      {dll, true},                            {std::string(system) + "\\other.dll", false},
  };
  for (const auto &c : paths) EXPECT_EQ(c.in, scope_has_path(&scope, c.path.c_str())) << c.path;
  const struct { HKEY root; const char *key; bool created_level, in; } keys[] = {
      {HKEY_LOCAL_MACHINE, "Software\\Quorvane\\Scope Product\\uninstall", false, true},
      {HKEY_LOCAL_MACHINE, "Software", true, true},  {HKEY_LOCAL_MACHINE, "Software", false, false},
      {HKEY_CLASSES_ROOT, ".scx", false, true},      {HKEY_CLASSES_ROOT, ".scx\\shell", true, false},
      {HKEY_CLASSES_ROOT, ".scx.file.type\\shell\\open", true, true},
      {HKEY_CURRENT_USER, ".scx", true, false},
  };
  for (const auto &c : keys) EXPECT_EQ(c.in, scope_has_key(&scope, c.root, c.key, c.created_level)) << c.key;
}

}  // namespace
