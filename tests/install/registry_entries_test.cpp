// The registry step against the real registry: values under the four roots, the "%1" value, the
// kept "user" key, what is recorded, a key that cannot be made, and the Add/Remove Programs entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_support.h"
#include "install/registry_entries.h"
#include "install/uninstall_record.h"
#include "support/scratch.h"
#include "uninstall/remove_items.h"
#include "util/root_keys.h"

using namespace install_test;

namespace {

const char kMachineKey[] = "Software\\ZindleTests\\RegEntries";
const char kClassesKey[] = "ZindleTests.RegEntries";
const char kUsersKey[] = ".Default\\Software\\ZindleTests\\RegEntries";
const char kProduct[] = "Zindle Registry Product";
const std::string kUninstallKey = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
const std::string kProductKey = std::string("Software\\Quorvane\\") + kProduct;

// The record's items for written values, whether their keys were made or already there.
uint32_t value_items(const SetupInfo &info) {
  uint32_t count = 0;
  for (const UninstallInfo &item : info.uninstall_items) count += item.kind == RECORD_KEY || item.kind == RECORD_VALUE;
  return count;
}

class RegistryEntriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    info_.install_dir = "C:\\Zindle\\Registry Product";
    info_.product_name = kProduct;
    TearDown();
  }
  void TearDown() override {
    delete_key_tree(HKEY_LOCAL_MACHINE, kMachineKey);
    delete_key_tree(HKEY_CLASSES_ROOT, kClassesKey);
    delete_key_tree(HKEY_USERS, kUsersKey);
    delete_key_tree(HKEY_LOCAL_MACHINE, kUninstallKey);
    delete_key_tree(HKEY_LOCAL_MACHINE, kProductKey);
  }
  void add(HKEY root, const std::string &key, const char *name, int type, const char *text, uint32_t number = 0) {
    SetupRegEntry entry;
    entry.root = root_from_hkey(root);
    entry.key = key.c_str();
    entry.name = name;
    entry.type = type;
    entry.string_value = text;
    entry.dword_value = number;
    info_.reg_entries.append(entry);
  }
  std::vector<std::string> recorded_keys() const {
    std::vector<std::string> out;
    for (const UninstallInfo &item : info_.uninstall_items)
      if (item.kind == RECORD_KEY) out.push_back(item.value.c_str());
    return out;
  }
  ScratchKey scratch_{"RegEntries"};
  SetupInfo info_;
};

TEST_F(RegistryEntriesTest, WritesEveryTypeUnderEveryRootAndRecordsEachEntry) {
  const std::string user = "Software\\ZindleTests\\RegEntries";
  add(HKEY_CURRENT_USER, user + "\\Text", "Plain", 0, "some text");
  add(HKEY_CURRENT_USER, user + "\\Text", "Dir", 0, "%1");
  add(HKEY_CURRENT_USER, user + "\\Text", "DirBelow", 0, "%1\\x");
  add(HKEY_CURRENT_USER, user + "\\Text", "Empty", 0, "");
  add(HKEY_CURRENT_USER, user + "\\Number", "", 1, "", 0xDEADBEEF);
  add(HKEY_CURRENT_USER, user + "\\Untyped", "Nothing", -1, "ignored", 5);
  add(HKEY_LOCAL_MACHINE, kMachineKey, "Machine", 1, "", 42);
  add(HKEY_CLASSES_ROOT, std::string(kClassesKey) + "\\Sub", "Class", 0, "c");
  add(HKEY_USERS, kUsersKey, "Users", 0, "u");

  ASSERT_EQ(0, apply_registry_entries(Unjournaled(&info_)));

  EXPECT_EQ("some text", reg_string_or(HKEY_CURRENT_USER, user + "\\Text", "Plain", "?"));
  EXPECT_EQ("C:\\Zindle\\Registry Product", reg_string_or(HKEY_CURRENT_USER, user + "\\Text", "Dir", "?"));
  EXPECT_EQ("%1\\x", reg_string_or(HKEY_CURRENT_USER, user + "\\Text", "DirBelow", "?"));
  EXPECT_EQ("", reg_string_or(HKEY_CURRENT_USER, user + "\\Text", "Empty", "?"));
  DWORD number = 0;
  ASSERT_TRUE(reg_dword(HKEY_CURRENT_USER, user + "\\Number", "", &number)) << "default value as a DWORD";
  EXPECT_EQ(0xDEADBEEFu, number);
  EXPECT_TRUE(reg_key_exists(HKEY_CURRENT_USER, user + "\\Untyped"));
  EXPECT_FALSE(reg_value_exists(HKEY_CURRENT_USER, user + "\\Untyped", "Nothing"));
  ASSERT_TRUE(reg_dword(HKEY_LOCAL_MACHINE, kMachineKey, "Machine", &number));
  EXPECT_EQ(42u, number);
  EXPECT_EQ("c", reg_string_or(HKEY_CLASSES_ROOT, std::string(kClassesKey) + "\\Sub", "Class", "?"));
  EXPECT_EQ("u", reg_string_or(HKEY_USERS, kUsersKey, "Users", "?"));

  const std::vector<std::string> expected = {
      "HKCU\\" + user + "\\Text,Plain",
      "HKCU\\" + user + "\\Text,Dir",
      "HKCU\\" + user + "\\Text,DirBelow",
      "HKCU\\" + user + "\\Text,Empty",
      "HKCU\\" + user + "\\Number,",
      "HKCU\\" + user + "\\Untyped,Nothing",
      std::string("HKLM\\") + kMachineKey + ",Machine",
      std::string("HKCR\\") + kClassesKey + "\\Sub,Class",
      std::string("HKUS\\") + kUsersKey + ",Users",
  };
  EXPECT_EQ(expected, recorded_keys());
}

// Installed, recorded and uninstalled: the value written beside another program's value goes
// alone, and the keys the entries made go with the values in them.
TEST_F(RegistryEntriesTest, UninstallRemovesOnlyWhatTheEntriesWrote) {
  const std::string base = scratch_.path();
  reg_set_string(HKEY_CURRENT_USER, base + "\\Shared", "Theirs", "keep");
  add(HKEY_CURRENT_USER, base + "\\Shared", "Mine", 0, "x");
  add(HKEY_CURRENT_USER, base + "\\Made\\Deeper", "V", 1, "", 1);
  ASSERT_EQ(0, apply_registry_entries(Unjournaled(&info_)));
  ASSERT_EQ(0, write_uninstall_record(Unjournaled(&info_)));
  SetupInfo removal;
  removal.product_name = kProduct;
  ASSERT_EQ(0, read_uninstall_record(&removal));
  ASSERT_EQ(0, remove_registry_keys(&removal));
  delete_uninstall_record(&removal);
  ASSERT_EQ(0, remove_keys_holding_record(&removal));

  EXPECT_EQ("keep", reg_string_or(HKEY_CURRENT_USER, base + "\\Shared", "Theirs", "?"));
  EXPECT_FALSE(reg_value_exists(HKEY_CURRENT_USER, base + "\\Shared", "Mine"));
  EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, base + "\\Made"));
  EXPECT_TRUE(reg_key_exists(HKEY_CURRENT_USER, base));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kProductKey)) << "made for the record";
  EXPECT_EQ(0u, removal.uninstall_failures.size());
}

TEST_F(RegistryEntriesTest, ReplacingAPreviousVersionKeepsTheUserKey) {
  const std::string user = "Software\\ZindleTests\\RegEntries";
  for (int replacing : {0, 1}) {
    delete_key_tree(HKEY_CURRENT_USER, user);
    SetupInfo info;
    info.install_dir = "C:\\P";
    info.replacing_previous = replacing;
    for (const char *leaf : {"\\User", "\\user", "\\Users", "\\User\\Deeper"}) {
      SetupRegEntry entry;
      entry.root = root_from_hkey(HKEY_CURRENT_USER);
      entry.key = (user + leaf).c_str();
      entry.name = "V";
      entry.type = 0;
      entry.string_value = "new";
      info.reg_entries.append(entry);
    }
    ASSERT_EQ(0, apply_registry_entries(Unjournaled(&info)));
    EXPECT_EQ(replacing ? "?" : "new", reg_string_or(HKEY_CURRENT_USER, user + "\\User", "V", "?")) << replacing;
    EXPECT_EQ("new", reg_string_or(HKEY_CURRENT_USER, user + "\\Users", "V", "?")) << replacing;
    EXPECT_EQ("new", reg_string_or(HKEY_CURRENT_USER, user + "\\User\\Deeper", "V", "?")) << replacing;
    EXPECT_EQ(replacing ? 2u : 4u, value_items(info)) << "skipped entries are not recorded";
  }
}

TEST_F(RegistryEntriesTest, AKeyThatCannotBeMadeStopsTheStepBeforeTheUninstallEntry) {
  const std::string user = "Software\\ZindleTests\\RegEntries";
  const std::string too_long = user + "\\" + std::string(300, 'k');
  struct Case {
    const char *what;
    int32_t root;
    std::string key;
  };
  const Case cases[] = {
      {"no root", 0, user + "\\X"},
      {"a root the record cannot name", root_from_hkey(HKEY_CURRENT_CONFIG), "ZindleTests"},
      {"a name the registry refuses", root_from_hkey(HKEY_CURRENT_USER), too_long},
      {"a record too long to read back", root_from_hkey(HKEY_CURRENT_USER), user + "\\" + std::string(230, 'k')},
  };
  for (const Case &c : cases) {
    delete_key_tree(HKEY_CURRENT_USER, user);
    SetupInfo info;
    info.install_dir = "C:\\P";
    info.product_name = kProduct;
    SetupRegEntry entry;
    entry.root = root_from_hkey(HKEY_CURRENT_USER);
    entry.key = (user + "\\Before").c_str();
    entry.name = "V";
    entry.type = 0;
    entry.string_value = "1";
    info.reg_entries.append(entry);
    entry.root = c.root;
    entry.key = c.key.c_str();
    info.reg_entries.append(entry);
    entry.root = root_from_hkey(HKEY_CURRENT_USER);
    entry.key = (user + "\\After").c_str();
    info.reg_entries.append(entry);

    EXPECT_EQ(-1, apply_registry_entries(Unjournaled(&info))) << c.what;
    EXPECT_EQ("1", reg_string_or(HKEY_CURRENT_USER, user + "\\Before", "V", "?")) << c.what;
    EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, user + "\\After")) << c.what;
    EXPECT_EQ(1u, value_items(info)) << c.what;
    EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kUninstallKey)) << c.what;
  }
  EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_CONFIG, "ZindleTests"));
}

TEST_F(RegistryEntriesTest, AddRemoveEntryRunsTheInstalledSetup) {
  ASSERT_EQ(0, apply_registry_entries(Unjournaled(&info_)));
  EXPECT_EQ(kProduct, reg_string_or(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "?"));
  EXPECT_EQ("C:\\Zindle\\Registry Product\\setup.exe -u1 \"Zindle Registry Product\" 0",
            reg_string_or(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "?"));
  EXPECT_EQ(0u, info_.uninstall_items.size()) << "the Add/Remove entry is not part of the record";
}

TEST_F(RegistryEntriesTest, NoProductNameOrOneWithABackslashGetsNoAddRemoveEntry) {
  const char *shared = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  for (const char *name : {"", "..\\..", "Other\\Product"}) {
    info_.product_name = name;
    std::string before;
    bool had = reg_string(HKEY_LOCAL_MACHINE, shared, "UninstallString", &before);
    ASSERT_EQ(0, apply_registry_entries(Unjournaled(&info_)));
    std::string after;
    EXPECT_EQ(had, reg_string(HKEY_LOCAL_MACHINE, shared, "UninstallString", &after)) << name;
    EXPECT_FALSE(reg_value_exists(HKEY_LOCAL_MACHINE, shared, "DisplayName")) << name;
    EXPECT_FALSE(reg_value_exists(HKEY_LOCAL_MACHINE, std::string(shared) + "\\" + name, "DisplayName")) << name;
  }
}

}  // namespace
