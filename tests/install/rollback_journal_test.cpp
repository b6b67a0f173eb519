// The rollback journal on its own: what the undo puts back, what it must leave alone, and the
// kept copy of a replaced file.
#include <gtest/gtest.h>

#include <string>

#include "install/install_support.h"
#include "install/journaled_registry.h"
#include "install/rollback_journal.h"
#include "support/scratch.h"

using namespace install_test;

namespace {

const char kKey[] = "Software\\ZindleJournalTest";

TEST(RollbackJournal, RegistryUndoRestoresTypesAndKeepsKeysThatHoldSomething) {
  delete_key_tree(HKEY_CURRENT_USER, kKey);
  reg_set_string(HKEY_CURRENT_USER, kKey, "Kept", "text before");
  journal_begin();
  kRegKey key, created;
  ASSERT_TRUE(journaled_create_key(&key, HKEY_CURRENT_USER, kKey));
  journaled_set_dword(&key, HKEY_CURRENT_USER, kKey, "Kept", 5);  // a value of another type
  std::string inner = std::string(kKey) + "\\New\\Inner";
  ASSERT_TRUE(journaled_create_key(&created, HKEY_CURRENT_USER, inner.c_str()));
  journaled_set_string(&created, HKEY_CURRENT_USER, inner.c_str(), "", "ours");
  key.Close();
  created.Close();
  reg_set_string(HKEY_CURRENT_USER, std::string(kKey) + "\\New", "Foreign", "written by someone else");
  UndoReport report;
  journal_undo(&report);
  EXPECT_FALSE(journal_active());
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
    journal_begin();
    ASSERT_TRUE(journal_file_before(file.c_str())) << ending;
    EXPECT_FALSE(file_exists(file)) << ending << ": moved aside, out of the product's folder";
    std::string now = ending == std::string("not written") ? before : "new";
    if (now == before) journal_file_not_written(file.c_str());
    EXPECT_EQ(now == before ? before : "", read_file(file)) << ending;
    if (now != before) write_file(file, now);
    UndoReport report;
    if (ending == std::string("commit")) {
      journal_commit();
    } else {
      journal_undo(&report);
      now = before;
    }
    EXPECT_EQ(now, read_file(file)) << ending;
    EXPECT_EQ(0, report.failed) << ending;
  }
}

}  // namespace
