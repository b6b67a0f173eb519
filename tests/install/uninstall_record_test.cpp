// The uninstall record against the real (Wine) registry: numbering, writing, reading back damaged
// records, and lookups. Each test uses its own product key under HKLM\Software\Quorvane.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_support.h"
#include "install/record_items.h"
#include "install/uninstall_record.h"
#include "sdk/reg_key.h"
#include "support/scratch.h"

using install_test::Unjournaled;

namespace {

const char kQuorvane[] = "Software\\Quorvane";

struct Item {
  int kind;
  int index;
  std::string value;
};

std::vector<Item> items_of(const SetupInfo &info) {
  std::vector<Item> items;
  for (const UninstallInfo &item : info.uninstall_items) items.push_back({item.kind, item.index, item.value.c_str()});
  return items;
}

bool operator==(const Item &a, const Item &b) { return a.kind == b.kind && a.index == b.index && a.value == b.value; }

void add_item(SetupInfo &info, int kind, int index, const char *value) {
  UninstallInfo item;
  item.kind = kind;
  item.index = index;
  item.value = value;
  info.uninstall_items.append(item);
}

bool key_exists(HKEY root, const std::string &path) {
  kRegKey key;
  return key.Open(root, path.c_str()) == 1;
}

class UninstallRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_ = std::string("ZindleRecord-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    product_key_ = std::string(kQuorvane) + "\\" + product_;
    record_key_ = product_key_ + "\\uninstall";
    delete_key_tree(HKEY_LOCAL_MACHINE, product_key_);
    kRegKey maker;
    maker.Create(HKEY_LOCAL_MACHINE, kQuorvane);
    info_.product_name = product_.c_str();
  }
  void TearDown() override { delete_key_tree(HKEY_LOCAL_MACHINE, product_key_); }

  // The record key as the registry holds it: value name -> text ("#n" for a DWORD).
  std::string raw(const char *name) {
    kRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, record_key_.c_str())) return "<no key>";
    unsigned long number = 0;
    if (key.GetDWORD(name, &number)) return "#" + std::to_string(number);
    char text[1024];
    if (key.GetString(name, text, sizeof text)) return text;
    return "<none>";
  }

  std::string product_, product_key_, record_key_;
  SetupInfo info_;
};

TEST_F(UninstallRecordTest, RecordFunctionsNumberEachKindOnItsOwn) {
  record_file(&info_, "C:\\P\\a.exe");
  record_dir(&info_, "C:\\P");
  record_file(&info_, "C:\\P\\a.exe");  // recorded twice, as two items
  record_key(&info_, "HKCU\\Software\\X,Y");
  record_assoc(&info_, ".abc", "tool.exe");
  record_dir(&info_, "C:\\P\\Sub");
  std::vector<Item> expected = {
      {RECORD_FILE, 0, "C:\\P\\a.exe"},   {RECORD_DIR, 0, "C:\\P"},
      {RECORD_FILE, 1, "C:\\P\\a.exe"},   {RECORD_KEY, 0, "HKCU\\Software\\X,Y"},
      {RECORD_ASSOC, 0, ".abc,tool.exe"}, {RECORD_DIR, 1, "C:\\P\\Sub"},
  };
  EXPECT_EQ(expected, items_of(info_));

  // Another record in the same process numbers from 0 again.
  SetupInfo other;
  record_key(&other, "HKLM\\Software\\Z,W");
  record_file(&other, "C:\\Q\\b.exe");
  EXPECT_EQ((std::vector<Item>{{RECORD_KEY, 0, "HKLM\\Software\\Z,W"}, {RECORD_FILE, 0, "C:\\Q\\b.exe"}}),
            items_of(other));
}

TEST_F(UninstallRecordTest, WrittenRecordHasTheDocumentedLayoutAndReadsBackInKindOrder) {
  add_item(info_, RECORD_DIR, 0, "C:\\P");
  add_item(info_, RECORD_FILE, 0, "C:\\P\\a.exe");
  add_item(info_, RECORD_DIR, 1, "C:\\P\\Sub");
  add_item(info_, RECORD_KEY, 0, "HKCU\\Software\\X,Y");
  add_item(info_, RECORD_FILE, 1, "C:\\P\\setup.exe");
  add_item(info_, RECORD_ASSOC, 0, ".abc,tool.exe");
  add_item(info_, RECORD_VALUE, 0, "HKCU\\Software\\Run,P");
  add_item(info_, RECORD_NONE, 0, "ignored");
  ASSERT_EQ(0, write_uninstall_record(Unjournaled(&info_)));
  const std::string made = "HKLM\\" + product_key_;  // the product's key, made for the record

  EXPECT_EQ("#2", raw("dirtotal"));
  EXPECT_EQ("#2", raw("filetotal"));
  EXPECT_EQ("#1", raw("keytotal"));
  EXPECT_EQ("#1", raw("assoctotal"));
  EXPECT_EQ("C:\\P\\Sub", raw("dir1"));
  EXPECT_EQ("C:\\P\\setup.exe", raw("file1"));
  EXPECT_EQ("HKCU\\Software\\X,Y", raw("key0"));
  EXPECT_EQ(".abc,tool.exe", raw("assoc0"));
  EXPECT_EQ("#1", raw("valuetotal"));
  EXPECT_EQ("HKCU\\Software\\Run,P", raw("value0"));
  EXPECT_EQ("#1", raw("createdtotal"));
  EXPECT_EQ(made, raw("created0"));
  {
    kRegKey key;
    ASSERT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, record_key_.c_str()));
    EXPECT_EQ(14u, key.values());  // six totals and eight items; the kindless item is not written
  }

  SetupInfo back;
  back.product_name = product_.c_str();
  EXPECT_EQ(0, read_uninstall_record(&back));
  std::vector<Item> expected = {
      {RECORD_DIR, 0, "C:\\P"},          {RECORD_DIR, 1, "C:\\P\\Sub"},
      {RECORD_FILE, 0, "C:\\P\\a.exe"},  {RECORD_FILE, 1, "C:\\P\\setup.exe"},
      {RECORD_KEY, 0, "HKCU\\Software\\X,Y"}, {RECORD_ASSOC, 0, ".abc,tool.exe"},
      {RECORD_VALUE, 0, "HKCU\\Software\\Run,P"}, {RECORD_CREATED_KEY, 0, made},
  };
  EXPECT_EQ(expected, items_of(back));
  EXPECT_EQ(2u, back.uninstall_dir_total);
  EXPECT_EQ(2u, back.uninstall_file_total);
  EXPECT_EQ(1u, back.uninstall_key_total);
  EXPECT_EQ(1u, back.uninstall_assoc_total);
  // Reading leaves the record for a removal stopped part-way; only the deletion after it takes
  // the record, and the product key it leaves empty.
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, record_key_));
  delete_uninstall_record(&back);
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, product_key_));
}

// An installation over an earlier record keeps the earlier items it did not make again, first and
// numbered afresh, each once; what it made itself follows, as this run numbered it.
TEST_F(UninstallRecordTest, EarlierRecordIsCarriedOverOnce) {
  {
    kRegKey key;
    ASSERT_EQ(1, key.Create(HKEY_LOCAL_MACHINE, record_key_.c_str()));
    key.SetDWORD("dirtotal", 3);
    key.SetString("dir0", "C:\\P");
    key.SetString("dir2", "C:\\P\\Sub");  // a gap at dir1
    key.SetDWORD("filetotal", 3);
    key.SetString("file0", "C:\\P\\a.exe");
    key.SetString("file1", "C:\\P\\old.exe");
    key.SetString("file2", "C:\\P\\old.exe");  // recorded twice by that run
    key.SetDWORD("createdtotal", 1);
    key.SetString("created0", "HKLM\\Software\\Q");
  }
  add_item(info_, RECORD_FILE, 0, "c:\\p\\A.EXE");
  add_item(info_, RECORD_DIR, 0, "C:\\P\\New");
  add_item(info_, RECORD_KEY, 0, "HKLM\\Software\\Q,V");
  ASSERT_EQ(0, write_uninstall_record(Unjournaled(&info_)));
  SetupInfo back;
  back.product_name = product_.c_str();
  read_uninstall_record(&back);
  std::vector<Item> expected = {
      {RECORD_DIR, 0, "C:\\P"}, {RECORD_DIR, 1, "C:\\P\\Sub"}, {RECORD_DIR, 2, "C:\\P\\New"},
      {RECORD_FILE, 0, "C:\\P\\old.exe"}, {RECORD_FILE, 1, "c:\\p\\A.EXE"},
      {RECORD_KEY, 0, "HKLM\\Software\\Q,V"}, {RECORD_CREATED_KEY, 0, "HKLM\\Software\\Q"},
  };
  EXPECT_EQ(expected, items_of(back));
}

TEST_F(UninstallRecordTest, EmptyRecordWritesNoValuesAndReadsAsEmpty) {
  ASSERT_EQ(0, write_uninstall_record(Unjournaled(&info_)));
  {
    kRegKey key;
    ASSERT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, record_key_.c_str()));
    EXPECT_EQ(0u, key.values());
  }
  SetupInfo back;
  back.product_name = product_.c_str();
  back.uninstall_file_total = 9;  // a missing total reads as 0, not as what was there
  EXPECT_EQ(0, read_uninstall_record(&back));
  EXPECT_EQ(0u, back.uninstall_items.size());
  EXPECT_EQ(0u, back.uninstall_file_total);
  EXPECT_EQ(0u, back.uninstall_dir_total);
}

TEST_F(UninstallRecordTest, MissingRecordLeavesListAndTotalsAsTheyWere) {
  kRegKey product;
  ASSERT_EQ(1, product.Create(HKEY_LOCAL_MACHINE, product_key_.c_str()));
  product.Close();
  SetupInfo back;
  back.product_name = product_.c_str();
  back.uninstall_dir_total = 3;
  EXPECT_EQ(0, read_uninstall_record(&back));
  EXPECT_EQ(0u, back.uninstall_items.size());
  EXPECT_EQ(3u, back.uninstall_dir_total);
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, product_key_));
}

// A record left half-written or damaged: nothing of one kind or item leaks into the next.
TEST_F(UninstallRecordTest, DamagedRecordGivesOnlyTheItemsThatCanBeRead) {
  {
    kRegKey key;
    ASSERT_EQ(1, key.Create(HKEY_LOCAL_MACHINE, record_key_.c_str()));
    key.SetDWORD("dirtotal", 4);
    key.SetString("dir0", "C:\\P");
    // dir1 missing
    key.SetString("dir2", std::string(300, 'x').c_str());  // longer than 259 characters
    key.SetString("dir3", std::string(259, 'y').c_str());  // the longest that fits
    // filetotal missing: must not take dirtotal's 4
    key.SetString("file0", "C:\\P\\stale.exe");
    key.SetString("keytotal", "2");  // wrong type: reads as 0
    key.SetString("key0", "HKCU\\Software\\X,Y");
    key.SetDWORD("assoctotal", 0xFFFFFFFFu);  // cannot be more than the values present
    key.SetString("assoc0", ".abc,tool.exe");
    key.SetDWORD("assoc1", 5);  // wrong type: no item
  }
  SetupInfo back;
  back.product_name = product_.c_str();
  back.uninstall_file_total = 7;
  back.uninstall_key_total = 7;
  EXPECT_EQ(0, read_uninstall_record(&back));
  EXPECT_EQ(4u, back.uninstall_dir_total);
  EXPECT_EQ(0u, back.uninstall_file_total);
  EXPECT_EQ(0u, back.uninstall_key_total);
  EXPECT_LE(back.uninstall_assoc_total, 10u);
  std::vector<Item> expected = {
      {RECORD_DIR, 0, "C:\\P"},
      {RECORD_DIR, 3, std::string(259, 'y')},
      {RECORD_ASSOC, 0, ".abc,tool.exe"},
  };
  EXPECT_EQ(expected, items_of(back));
  char buffer[MAX_PATH] = "untouched";
  EXPECT_EQ(-1, find_uninstall_item(&back, RECORD_DIR, 1, buffer, sizeof buffer));
  EXPECT_EQ(-1, find_uninstall_item(&back, RECORD_DIR, 2, buffer, sizeof buffer));
  EXPECT_STREQ("untouched", buffer);
}

// A product name must name exactly one key below Quorvane: an empty one or one with a backslash
// would reach another product's key.
TEST_F(UninstallRecordTest, ProductNameThatWouldAddressAnotherKeyIsRefused) {
  const std::string victim = std::string(kQuorvane) + "\\ZindleRecordVictim";
  delete_key_tree(HKEY_LOCAL_MACHINE, victim);
  {
    kRegKey key;
    ASSERT_EQ(1, key.Create(HKEY_LOCAL_MACHINE, (victim + "\\uninstall").c_str()));
    key.SetDWORD("filetotal", 1);
    key.SetString("file0", "C:\\victim.exe");
    kRegKey bare;
    ASSERT_EQ(1, bare.Create(HKEY_LOCAL_MACHINE, (std::string(kQuorvane) + "\\uninstall").c_str()));
  }
  for (const char *name : {"", "ZindleRecordVictim\\uninstall", "ZindleRecordVictim\\Nested"}) {
    SCOPED_TRACE(name);
    SetupInfo odd;
    odd.product_name = name;
    add_item(odd, RECORD_FILE, 0, "C:\\odd.exe");
    EXPECT_EQ(-1, write_uninstall_record(Unjournaled(&odd)));
    SetupInfo reader;
    reader.product_name = name;
    EXPECT_EQ(0, read_uninstall_record(&reader));
    EXPECT_EQ(0u, reader.uninstall_items.size());
  }
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, victim + "\\Nested"));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, victim + "\\uninstall\\uninstall"));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, victim + "\\uninstall"));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, std::string(kQuorvane) + "\\uninstall"));
  delete_key_tree(HKEY_LOCAL_MACHINE, victim);
  delete_key_tree(HKEY_LOCAL_MACHINE, std::string(kQuorvane) + "\\uninstall");
}

TEST_F(UninstallRecordTest, FindReturnsTheFirstMatchAndRefusesWhatDoesNotFit) {
  for (int i = 0; i < 4; ++i) add_item(info_, RECORD_FILE, i, ("C:\\P\\f" + std::to_string(i)).c_str());
  add_item(info_, RECORD_DIR, 2, "C:\\P\\d2");
  add_item(info_, RECORD_FILE, 2, "C:\\P\\second");
  char buffer[MAX_PATH] = "";
  EXPECT_EQ(0, find_uninstall_item(&info_, RECORD_FILE, 2, buffer, sizeof buffer));
  EXPECT_STREQ("C:\\P\\f2", buffer);
  EXPECT_EQ(0, find_uninstall_item(&info_, RECORD_DIR, 2, buffer, sizeof buffer));
  EXPECT_STREQ("C:\\P\\d2", buffer);
  EXPECT_EQ(-1, find_uninstall_item(&info_, RECORD_FILE, 5, buffer, sizeof buffer));
  EXPECT_EQ(-1, find_uninstall_item(&info_, RECORD_KEY, 0, buffer, sizeof buffer));
  char small[6] = "keep";
  EXPECT_EQ(-1, find_uninstall_item(&info_, RECORD_FILE, 0, small, sizeof small));
  EXPECT_STREQ("keep", small);
}

}  // namespace
