// Removal of recorded items from a real installed tree and the real (Wine) registry: a file held
// by another process, directory order, associations, registry keys and malformed records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/uninstall_record.h"
#include "sdk/reg_key.h"
#include "support/scratch.h"
#include "uninstall/remove_items.h"

namespace {

void add_item(SetupInfo &info, int kind, int index, const std::string &value) {
  UninstallInfo item;
  item.kind = kind;
  item.index = index;
  item.value = value.c_str();
  info.uninstall_items.append(item);
}

// Records texts of one kind numbered from 0 and sets that kind's total.
void record(SetupInfo &info, int kind, const std::vector<std::string> &texts) {
  for (size_t i = 0; i < texts.size(); ++i) add_item(info, kind, static_cast<int>(i), texts[i]);
  uint32_t total = static_cast<uint32_t>(texts.size());
  if (kind == RECORD_FILE) info.uninstall_file_total = total;
  if (kind == RECORD_DIR) info.uninstall_dir_total = total;
  if (kind == RECORD_KEY) info.uninstall_key_total = total;
  if (kind == RECORD_ASSOC) info.uninstall_assoc_total = total;
}

struct Failure {
  int kind;
  std::string text;
};
bool operator==(const Failure &a, const Failure &b) { return a.kind == b.kind && a.text == b.text; }
std::ostream &operator<<(std::ostream &out, const Failure &f) { return out << f.kind << ":" << f.text; }

std::vector<Failure> failures_of(const SetupInfo &info) {
  std::vector<Failure> out;
  for (const UninstallFailed &f : info.uninstall_failures) {
    const String &text = f.kind == FAILED_FILE ? f.file : f.kind == FAILED_DIR ? f.dir : f.reg_key;
    out.push_back({f.kind, text.c_str()});
  }
  return out;
}

// Another process holding a file open without sharing, for as long as this object lives.
class HeldFile {
 public:
  explicit HeldFile(const std::string &path) {
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    std::string tool = std::string(module, n);
    tool = tool.substr(0, tool.find_last_of('\\') + 1) + "hold_file.exe";
    std::string event_name = "zindle-hold-" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event_name.c_str());
    std::string command = "\"" + tool + "\" \"" + path + "\" " + event_name + " 60";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      process_ = process.hProcess;
      CloseHandle(process.hThread);
      HANDLE waits[2] = {ready, process_};
      held_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
  }
  ~HeldFile() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
  }
  bool held() const { return held_; }

 private:
  HANDLE process_ = nullptr;
  bool held_ = false;
};

bool key_exists(HKEY root, const std::string &path) {
  kRegKey key;
  return key.Open(root, path.c_str()) == 1;
}

bool value_exists(HKEY root, const std::string &path, const char *name) {
  kRegKey key;
  char text[MAX_PATH];
  return key.Open(root, path.c_str()) && key.GetString(name, text, sizeof text);
}

void make_key(HKEY root, const std::string &path, const char *value = "v") {
  kRegKey key;
  ASSERT_EQ(1, key.Create(root, path.c_str())) << path;
  key.SetString(value, "data");
}

class RemoveFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_ = scratch_.file("P");
    sub_ = product_ + "\\Sub";
    CreateDirectoryA(product_.c_str(), nullptr);
    CreateDirectoryA(sub_.c_str(), nullptr);
    for (const char *name : {"a.exe", "b.dll", "Sub\\c.txt", "package.dat"})
      write_file(product_ + "\\" + name, name);
    info_.install_dir = product_.c_str();
    record(info_, RECORD_DIR, {product_, sub_});
    record(info_, RECORD_FILE, {product_ + "\\a.exe", product_ + "\\b.dll", sub_ + "\\c.txt", product_ + "\\gone.txt"});
  }
  ScratchDir scratch_{"remove-files"};
  std::string product_, sub_;
  SetupInfo info_;
};

TEST_F(RemoveFilesTest, WholeTreeGoesInnerDirectoriesFirst) {
  EXPECT_EQ(0, remove_files(&info_));
  EXPECT_EQ(0, remove_directories(&info_));
  EXPECT_FALSE(dir_exists(product_));  // only possible when Sub went before P
  EXPECT_TRUE(failures_of(info_).empty());
  EXPECT_EQ(0, info_.removal_incomplete);
  // The recorded files become the files list, in record order.
  ASSERT_EQ(4u, info_.files.size());
  EXPECT_STREQ((product_ + "\\b.dll").c_str(), info_.files[1].source.c_str());
}

TEST_F(RemoveFilesTest, FileHeldByAnotherProcessIsReportedAndNothingElseIsLost) {
  write_file(scratch_.file("outside.txt"), "stay");
  HeldFile held(product_ + "\\b.dll");
  ASSERT_TRUE(held.held()) << "hold_file.exe must be built beside the test program";
  EXPECT_EQ(0, remove_files(&info_));
  EXPECT_EQ(0, remove_directories(&info_));
  EXPECT_FALSE(file_exists(product_ + "\\a.exe"));
  EXPECT_FALSE(file_exists(product_ + "\\package.dat"));
  EXPECT_FALSE(dir_exists(sub_));
  EXPECT_TRUE(file_exists(product_ + "\\b.dll"));
  EXPECT_EQ("stay", read_file(scratch_.file("outside.txt")));
  std::vector<Failure> expected = {{FAILED_FILE, product_ + "\\b.dll"}, {FAILED_DIR, product_}};
  EXPECT_EQ(expected, failures_of(info_));
  EXPECT_EQ(1, info_.removal_incomplete);
  for (const UninstallFailed &f : info_.uninstall_failures) EXPECT_STREQ("", f.reg_key.c_str());
}

// A total that runs past the items that could be read back removes only what is recorded.
TEST_F(RemoveFilesTest, GapsInTheRecordRemoveNothingExtra) {
  SetupInfo gaps;
  gaps.install_dir = "";
  add_item(gaps, RECORD_FILE, 1, product_ + "\\a.exe");
  add_item(gaps, RECORD_DIR, 1, sub_);
  gaps.uninstall_file_total = 3;
  gaps.uninstall_dir_total = 3;
  EXPECT_EQ(0, remove_files(&gaps));
  EXPECT_EQ(0, remove_directories(&gaps));
  EXPECT_FALSE(file_exists(product_ + "\\a.exe"));
  EXPECT_TRUE(file_exists(product_ + "\\b.dll"));
  EXPECT_TRUE(file_exists(product_ + "\\package.dat"));  // no install folder: nothing to remove
  EXPECT_TRUE(dir_exists(sub_));                          // still holds c.txt
  std::vector<Failure> expected = {{FAILED_DIR, sub_}};
  EXPECT_EQ(expected, failures_of(gaps));
  EXPECT_EQ(3u, gaps.files.size());
}

class RemoveKeysTest : public ::testing::Test {
 protected:
  std::string base() const { return scratch_.path(); }
  ScratchKey scratch_{"RemoveKeys"};
  SetupInfo info_;
};

TEST_F(RemoveKeysTest, KeyWithSeveralRecordedValuesIsDeletedOnce) {
  make_key(HKEY_CURRENT_USER, base() + "\\Q\\App", "A");
  make_key(HKEY_CURRENT_USER, base() + "\\Q\\Other");
  record(info_, RECORD_KEY, {"HKCU\\" + base() + "\\Q\\App,A", "HKCU\\" + base() + "\\Q\\App,B"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, base() + "\\Q\\App"));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, base() + "\\Q\\Other"));
  EXPECT_TRUE(failures_of(info_).empty());
  EXPECT_EQ(0, info_.removal_incomplete);
}

// Only recorded values go; a key goes only once nothing is left in it, and only when a
// registry-value item names it or the installation created it. Another program's value keeps its
// key quietly, in records of earlier versions too (which name every key by its values).
TEST_F(RemoveKeysTest, OnlyRecordedValuesGoAndAKeyOnlyOnceEmpty) {
  const std::string b = "HKCU\\" + base();
  make_key(HKEY_CURRENT_USER, base() + "\\Shared", "theirs");
  make_key(HKEY_CURRENT_USER, base() + "\\Shared", "mine");
  make_key(HKEY_CURRENT_USER, base() + "\\WasThere", "mine");
  make_key(HKEY_CURRENT_USER, base() + "\\Made\\Deeper", "mine");
  make_key(HKEY_CURRENT_USER, base() + "\\MadeButUsed", "later");
  record(info_, RECORD_KEY, {b + "\\Shared,mine", b + "\\Made\\Deeper,mine"});
  record(info_, RECORD_VALUE, {b + "\\WasThere,mine", "HKCU\\,mine", b + "\\Made,"});
  record(info_, RECORD_CREATED_KEY, {b + "\\Made", b + "\\MadeButUsed", b + "\\Made\\Deeper", b + "\\"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, base() + "\\Shared", "mine"));
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, base() + "\\Shared", "theirs"));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, base() + "\\WasThere", "mine"));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, base() + "\\WasThere")) << "empty, but not made by the installation";
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, base() + "\\Made")) << "made, and emptied deepest first";
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, base() + "\\MadeButUsed", "later"));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, base()));
  EXPECT_TRUE(failures_of(info_).empty());
}

TEST_F(RemoveKeysTest, RootsAreMatchedWithoutCaseAndUsersRootIsHonoured) {
  const std::string users = ".DEFAULT\\" + base() + "\\Users";
  make_key(HKEY_CURRENT_USER, base() + "\\Lower");
  make_key(HKEY_USERS, users + "\\Gone");
  make_key(HKEY_LOCAL_MACHINE, base() + "\\Machine\\Gone");
  record(info_, RECORD_KEY,
         {"hkcu\\" + base() + "\\Lower,v", "HKUS\\" + users + "\\Gone,v", "hKlM\\" + base() + "\\Machine\\Gone,v"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, base() + "\\Lower"));
  EXPECT_FALSE(key_exists(HKEY_USERS, users + "\\Gone"));
  EXPECT_TRUE(key_exists(HKEY_USERS, users));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, base() + "\\Machine\\Gone"));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, base() + "\\Machine"));
  delete_key_tree(HKEY_USERS, ".DEFAULT\\Software\\ZindleTests");
  delete_key_tree(HKEY_LOCAL_MACHINE, "Software\\ZindleTests");
}

TEST_F(RemoveKeysTest, MakersKeysStayWhileANewerVersionReplacesThisOne) {
  for (int replacing : {1, 0}) {
    SCOPED_TRACE(replacing);
    SetupInfo info;
    info.replacing_previous = replacing;
    make_key(HKEY_CURRENT_USER, base() + "\\QuorVane Ltd\\Settings");
    make_key(HKEY_CURRENT_USER, base() + "\\Plain\\Settings");
    record(info, RECORD_KEY, {"HKCU\\" + base() + "\\QuorVane Ltd\\Settings,v", "HKCU\\" + base() + "\\Plain\\Settings,v"});
    EXPECT_EQ(0, remove_registry_keys(&info));
    EXPECT_EQ(replacing == 1, key_exists(HKEY_CURRENT_USER, base() + "\\QuorVane Ltd\\Settings"));
    EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, base() + "\\Plain\\Settings"));
  }
}

// Deleting a key that still has subkeys is refused on the NT family and becomes a failure.
TEST_F(RemoveKeysTest, KeyThatCannotBeDeletedIsReported) {
  if (GetVersion() & 0x80000000u) GTEST_SKIP() << "the 95 family deletes whole subtrees";
  make_key(HKEY_CURRENT_USER, base() + "\\Parent\\Full\\Child");
  record(info_, RECORD_KEY, {"HKCU\\" + base() + "\\Parent\\Full,v"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, base() + "\\Parent\\Full\\Child"));
  std::vector<Failure> expected = {{FAILED_KEY, base() + "\\Parent : Full"}};
  EXPECT_EQ(expected, failures_of(info_));
  EXPECT_EQ(1, info_.removal_incomplete);
}

// The record's own key holds the record until the removal is done: a recorded key on its path is
// neither removed nor reported left while the record is there, and goes after it.
TEST_F(RemoveKeysTest, KeysOnTheRecordsPathWaitForTheRecord) {
  const std::string product = "Software\\Quorvane\\ZindleRemoveKeys";
  delete_key_tree(HKEY_LOCAL_MACHINE, product);
  info_.product_name = "ZindleRemoveKeys";
  make_key(HKEY_LOCAL_MACHINE, product + "\\uninstall", "filetotal");
  make_key(HKEY_LOCAL_MACHINE, product, "Ver");
  record(info_, RECORD_KEY, {"hklm\\" + product + ",Ver"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, product, "Ver"));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, product + "\\uninstall"));
  EXPECT_TRUE(failures_of(info_).empty());
  kRegKey key;
  ASSERT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, product.c_str()));
  RegDeleteKeyA(key.getkey(), "uninstall");
  key.Close();
  EXPECT_EQ(0, remove_keys_holding_record(&info_));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, product));
  EXPECT_TRUE(failures_of(info_).empty());
}

// Texts the writer never produces delete nothing at all.
TEST_F(RemoveKeysTest, MalformedRecordsDeleteNothing) {
  const std::string k = base() + "\\Keep";
  make_key(HKEY_CURRENT_USER, k + "\\Inner");
  const std::vector<std::string> texts = {
      "HKXX\\" + k + "\\Inner,v",  // unknown root
      "HKCUX\\" + k + "\\Inner,v",
      "\\" + k + "\\Inner,v",      // no root
      "HKCU",                      // nothing after the root
      "HKCU" + k + "\\Inner,v",    // no backslash after the root
      "HKCU\\" + k + "\\Inner",    // no comma
      "HKCU\\,v",                  // empty key path
      "HKCU\\" + k + "\\,v",       // empty subkey name: would address Keep itself
      "HKCU\\\\" + k + ",v",       // empty first part
      "HKCU\\" + std::string(250, 'x') + "\\y,v",
  };
  record(info_, RECORD_KEY, texts);
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, k + "\\Inner"));
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, k + "\\Inner", "v"));
  EXPECT_TRUE(failures_of(info_).empty());
}

// A key directly below a root is never removed with its contents: only the recorded value goes,
// and the key itself only when nothing is left in it.
TEST_F(RemoveKeysTest, KeyDirectlyBelowARootLosesOnlyWhatWasRecorded) {
  const std::string shared = "ZindleTopShared", own = "ZindleTopOwn";
  delete_key_tree(HKEY_CURRENT_USER, shared);
  delete_key_tree(HKEY_CURRENT_USER, own);
  make_key(HKEY_CURRENT_USER, shared, "mine");
  make_key(HKEY_CURRENT_USER, shared, "theirs");
  make_key(HKEY_CURRENT_USER, shared + "\\Child");
  make_key(HKEY_CURRENT_USER, own, "A");
  make_key(HKEY_CURRENT_USER, own, "B");
  record(info_, RECORD_KEY, {"HKCU\\" + own + ",A", "HKCU\\" + shared + ",mine", "HKCU\\" + own + ",B"});
  EXPECT_EQ(0, remove_registry_keys(&info_));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, shared, "mine"));
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, shared, "theirs"));
  EXPECT_TRUE(key_exists(HKEY_CURRENT_USER, shared + "\\Child"));
  EXPECT_FALSE(key_exists(HKEY_CURRENT_USER, own));
  EXPECT_TRUE(failures_of(info_).empty());
  delete_key_tree(HKEY_CURRENT_USER, shared);
}

TEST(SplitKeyPath, SplitsAtTheLastBackslash) {
  struct Case {
    const char *path;
    int result;
    const char *parent;
    const char *subkey;
  } cases[] = {
      {"Software\\Q\\App", 1, "Software\\Q", "App"},
      {"Software\\App", 1, "Software", "App"},
      {"Software\\", 1, "Software", ""},
      {"\\App", 1, "", "App"},
      {"App", 0, "before", "before"},
      {"", 0, "before", "before"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path);
    char parent[MAX_PATH] = "before", subkey[MAX_PATH] = "before";
    EXPECT_EQ(c.result, split_key_path(c.path, parent, sizeof parent, subkey, sizeof subkey));
    EXPECT_STREQ(c.parent, parent);
    EXPECT_STREQ(c.subkey, subkey);
  }
  char small[4] = "old", subkey[MAX_PATH] = "old";
  EXPECT_EQ(0, split_key_path("Software\\App", small, sizeof small, subkey, sizeof subkey));
  EXPECT_STREQ("old", small);
  EXPECT_STREQ("old", subkey);
}

class RemoveAssociationsTest : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }
  void clean() {
    for (const char *key : {".zindletest", ".zindletest.file.type", ".zindlekeep", ".zindlekeep.file.type", ".file.type"})
      delete_key_tree(HKEY_CLASSES_ROOT, key);
  }
  void make_association(const std::string &ext) {
    make_key(HKEY_CLASSES_ROOT, ext, "");
    const std::string type = ext + ".file.type";
    make_key(HKEY_CLASSES_ROOT, type + "\\Shell\\Open\\Command", "");
    make_key(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", "");
  }
  SetupInfo info_;
};

TEST_F(RemoveAssociationsTest, ExtensionAndTypeKeysAreDeleted) {
  make_association(".zindletest");
  make_association(".zindlekeep");
  make_key(HKEY_CLASSES_ROOT, ".file.type", "");
  record(info_, RECORD_ASSOC,
         {".zindletest,tool.exe", "no comma", ",tool.exe", ".zindlekeep\\..,x.exe", ".zindlekeep\\Shell,x.exe"});
  EXPECT_EQ(0, remove_associations(&info_));
  EXPECT_FALSE(key_exists(HKEY_CLASSES_ROOT, ".zindletest"));
  EXPECT_FALSE(key_exists(HKEY_CLASSES_ROOT, ".zindletest.file.type"));
  EXPECT_TRUE(key_exists(HKEY_CLASSES_ROOT, ".zindlekeep"));
  EXPECT_TRUE(key_exists(HKEY_CLASSES_ROOT, ".zindlekeep.file.type\\Shell\\Open\\Command"));
  EXPECT_TRUE(key_exists(HKEY_CLASSES_ROOT, ".file.type"));
  EXPECT_TRUE(failures_of(info_).empty());
  EXPECT_EQ(0, info_.removal_incomplete);
}

}  // namespace
