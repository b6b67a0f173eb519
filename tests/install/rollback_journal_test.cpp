// The rollback journal and the writer that feeds it: what the undo puts back, what it must leave
// alone, what the record gets, and the kept copy of a replaced file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_support.h"
#include "install/change_writer.h"
#include "install/run_scope.h"
#include "support/scratch.h"
#include "util/bounded_text.h"

using namespace install_test;

namespace {

const char kKey[] = "Software\\ZindleJournalTest";

TEST(RollbackJournal, RegistryUndoRestoresTypesAndKeepsKeysThatHoldSomething) {
  delete_key_tree(HKEY_CURRENT_USER, kKey);
  reg_set_string(HKEY_CURRENT_USER, kKey, "Kept", "text before");
  RollbackJournal journal;
  journal.begin();
  SetupInfo info;
  ChangeWriter writer(&info, &journal);
  kRegKey key, created;
  ASSERT_TRUE(writer.create_key(&key, HKEY_CURRENT_USER, kKey, KEY_RECORDED));
  writer.set_dword(&key, HKEY_CURRENT_USER, kKey, "Kept", 5, true);  // a value of another type
  std::string inner = std::string(kKey) + "\\New\\Inner";
  ASSERT_TRUE(writer.create_key(&created, HKEY_CURRENT_USER, inner.c_str(), KEY_RECORDED));
  writer.set_string(&created, HKEY_CURRENT_USER, inner.c_str(), "", "ours", true);
  key.Close();
  created.Close();
  // The record holds what the undo takes back: the two levels made, a value in a key that was
  // there, a value in a key made here.
  std::vector<std::string> items;
  for (const UninstallInfo &item : info.uninstall_items) items.push_back(std::to_string(item.kind) + " " + item.value.c_str());
  const std::string root = std::string("HKCU\\") + kKey;
  EXPECT_EQ((std::vector<std::string>{std::to_string(RECORD_VALUE) + " " + root + ",Kept",
                                      std::to_string(RECORD_CREATED_KEY) + " " + root + "\\New",
                                      std::to_string(RECORD_CREATED_KEY) + " " + root + "\\New\\Inner",
                                      std::to_string(RECORD_KEY) + " " + root + "\\New\\Inner,"}),
            items);
  reg_set_string(HKEY_CURRENT_USER, std::string(kKey) + "\\New", "Foreign", "written by someone else");
  UndoReport report;
  journal.undo(&report);
  EXPECT_FALSE(journal.active());
  EXPECT_EQ("text before", reg_string_or(HKEY_CURRENT_USER, kKey, "Kept", "<not a text>"));
  EXPECT_FALSE(reg_key_exists(HKEY_CURRENT_USER, inner));
  EXPECT_TRUE(reg_value_exists(HKEY_CURRENT_USER, std::string(kKey) + "\\New", "Foreign")) << "never deleted whole";
  EXPECT_EQ(1, report.failed);
  EXPECT_EQ("registry key HKCU\\Software\\ZindleJournalTest\\New", std::string(report.listed.c_str()));
  delete_key_tree(HKEY_CURRENT_USER, kKey);
}

TEST(RollbackJournal, ReplacedFilesComeBackByteForByte) {
  ScratchDir dir("journal");
  const std::string file = dir.file("a.bin"), before = pattern(5000, 3);
  // undo: the kept copy goes back; not written: at once; commit: the new file stays.
  for (const char *ending : {"undo", "not written", "commit"}) {
    write_file(file, before);
    RollbackJournal journal;
    journal.begin();
    ASSERT_TRUE(journal.file_before(file.c_str())) << ending;
    EXPECT_FALSE(file_exists(file)) << ending << ": moved aside";
    std::string now = ending == std::string("not written") ? before : "new";
    if (now == before) journal.file_not_written(file.c_str());
    EXPECT_EQ(now == before ? before : "", read_file(file)) << ending;
    if (now != before) write_file(file, now);
    UndoReport report;
    if (ending == std::string("commit")) {
      journal.commit();
    } else {
      journal.undo(&report);
      now = before;
    }
    EXPECT_EQ(now, read_file(file)) << ending;
    EXPECT_EQ(0, report.failed) << ending;
  }
}

// A journal on disk as a killed run leaves it: a header naming the product, then the records.
struct Record {
  uint32_t kind;
  std::string path, extra, root;
  uint32_t existed = 0;
};

std::string disk_record(const Record &r) {
  std::string out(36, '\0');
  const uint32_t fields[] = {0x324E4A5A, r.kind, r.existed, REG_SZ, static_cast<uint32_t>(r.path.size() + 1),
                             static_cast<uint32_t>(r.extra.size() + 1), 0};
  memcpy(&out[0], fields, sizeof fields);
  memcpy(&out[28], r.root.c_str(), r.root.size());
  return out + r.path + '\0' + r.extra + '\0';
}

// Found at the start of an install, a journal is obeyed only where a run of this product could
// have made the change; a damaged one, or one naming another product, not at all.
TEST(RollbackJournal, JournalFoundOnDiskIsUndoneOnlyWithinTheProduct) {
  ScratchDir dir("journal-disk"), other("journal-other");
  const std::string mine = dir.file("made.txt"), outside = other.file("theirs.txt");
  const std::string key = kKey, foreign = std::string(kKey) + "Foreign";
  SetupInfo info;
  info.product_name = "Zindle Journal Disk";
  info.install_dir = dir.path().c_str();
  info.reg_entries.append(SetupRegEntry());
  info.reg_entries[0].root = static_cast<int32_t>(reinterpret_cast<intptr_t>(HKEY_CURRENT_USER));
  info.reg_entries[0].key = kKey;
  info.reg_entries[0].name = "V";
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  char journal[MAX_PATH];
  format_text(journal, sizeof journal, "%s\\zindle-%08lx.jnl", windows,
              static_cast<unsigned long>(mbcs_hash_nocase(info.product_name.c_str())));
  const Record header = {0x48, "Zindle Journal Disk", "", ""};
  const Record made = {0, mine, "", ""}, theirs = {0, outside, "", ""};
  const Record climbing = {0, dir.path() + "\\..\\zindle-journal-other\\theirs.txt", "", ""};
  const Record kept_elsewhere = {1, mine, outside, ""};
  const Record value = {4, key, "V", "HKCU"}, foreign_value = {4, foreign, "V", "HKCU"};
  struct Case {
    const char *what;
    std::string bytes;
    bool mine_undone;
  } cases[] = {
      {"entries outside the product are passed over",
       disk_record(header) + disk_record(theirs) + disk_record(climbing) + disk_record(foreign_value) +
           disk_record(made) + disk_record(value), true},
      {"a kept copy that does not lie beside its file", disk_record(header) + disk_record(kept_elsewhere), false},
      {"another product's journal", disk_record({0x48, "Another", "", ""}) + disk_record(made), false},
      {"no header", disk_record(made), false},
      {"a damaged record", disk_record(header) + disk_record(made) + disk_record({9, mine, "", ""}), false},
      {"a record cut short at the end", disk_record(header) + disk_record(made) + disk_record(value).substr(0, 40),
       true},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(write_file(mine, "mine") && write_file(outside, "theirs"));
    reg_set_string(HKEY_CURRENT_USER, key, "V", "v");
    reg_set_string(HKEY_CURRENT_USER, foreign, "V", "v");
    ASSERT_TRUE(write_file(journal, c.bytes)) << c.what;
    JournalScope scope;
    ASSERT_TRUE(list_run_scope(&info, &scope));
    RollbackJournal next_run;
    next_run.begin(&scope);
    next_run.commit();
    EXPECT_EQ(!c.mine_undone, file_exists(mine)) << c.what;
    EXPECT_EQ("theirs", read_file(outside)) << c.what;
    EXPECT_TRUE(reg_value_exists(HKEY_CURRENT_USER, foreign, "V")) << c.what;
    EXPECT_FALSE(file_exists(journal)) << c.what;
  }
  delete_key_tree(HKEY_CURRENT_USER, kKey);
  delete_key_tree(HKEY_CURRENT_USER, foreign);
}

}  // namespace
