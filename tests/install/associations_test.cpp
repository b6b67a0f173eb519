// The associations step against the real registry: the four keys of a fresh extension, the
// question for an extension that already has a key (answered on the real message box), and
// extensions that name no key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/associations.h"
#include "install/install_support.h"
#include "support/message_recorder.h"
#include "support/scratch.h"

using namespace install_test;

namespace {

const char kProduct[] = "Zindle Assoc Product";

class AssociationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    info_.install_dir = "C:\\P";
    info_.product_name = kProduct;
    info_.setup_instance = info_.resource_instance = GetModuleHandleA(nullptr);
    clean();
  }
  void TearDown() override { clean(); }
  void clean() {
    for (const char *ext : {".zindlea", ".zindleb"}) {
      delete_key_tree(HKEY_CLASSES_ROOT, ext);
      delete_key_tree(HKEY_CLASSES_ROOT, std::string(ext) + ".file.type");
    }
  }
  void add(const char *ext, const char *prog, int icon) {
    SetupAssociation item;
    item.ext = ext;
    item.prog = prog;
    item.icon = icon;
    info_.associations.append(item);
  }
  std::vector<std::string> recorded() const {
    std::vector<std::string> out;
    for (const UninstallInfo &item : info_.uninstall_items)
      if (item.kind == RECORD_ASSOC) out.push_back(item.value.c_str());
    return out;
  }
  static std::string value(const std::string &key) { return reg_string_or(HKEY_CLASSES_ROOT, key, "", "<none>"); }
  SetupInfo info_;
};

TEST_F(AssociationsTest, FreshExtensionGetsItsTypeIconAndOpenCommand) {
  MessageRecorder boxes(IDYES);
  add(".zindlea", "tool.exe", 1);
  add(".zindleb", "bin\\other.exe", 7);
  ASSERT_EQ(0, write_associations(Unjournaled(&info_)));

  EXPECT_EQ(".zindlea.file.type", value(".zindlea"));
  EXPECT_EQ(".zindlea file", value(".zindlea.file.type"));
  EXPECT_EQ("C:\\P\\tool.exe,1", value(".zindlea.file.type\\DefaultIcon"));
  EXPECT_EQ("\"C:\\P\\tool.exe\" \"%1\"", value(".zindlea.file.type\\Shell\\Open\\Command"));
  EXPECT_EQ("C:\\P\\bin\\other.exe,7", value(".zindleb.file.type\\DefaultIcon"));
  EXPECT_EQ((std::vector<std::string>{".zindlea,tool.exe", ".zindleb,bin\\other.exe"}), recorded());
  EXPECT_TRUE(boxes.boxes().empty());

  // The product's own earlier association is still "another program's": the question comes again.
  SetupInfo again;
  again.install_dir = "C:\\P";
  again.product_name = kProduct;
  again.associations.append(info_.associations[0]);
  ASSERT_EQ(0, write_associations(Unjournaled(&again)));
  ASSERT_EQ(1u, boxes.boxes().size());
  EXPECT_EQ(
      "Files with the extension \".zindlea\" are currently associated with another program.\n"
      "Do you want to to change it to be associated with Zindle Assoc Product?",
      boxes.boxes()[0].text);
  EXPECT_EQ("Current Association Found", boxes.boxes()[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST), boxes.boxes()[0].type);
}

TEST_F(AssociationsTest, ExistingAssociationIsReplacedOnlyWhenTheUserSaysYes) {
  for (int button : {IDYES, IDNO}) {
    clean();
    SetupInfo info;
    info.install_dir = "C:\\P";
    info.product_name = kProduct;
    info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
    for (const char *ext : {".zindlea", ".zindleb"}) {
      SetupAssociation item;
      item.ext = ext;
      item.prog = "tool.exe";
      info.associations.append(item);
    }
    reg_set_string(HKEY_CLASSES_ROOT, ".zindlea", "", "another.program.type");

    BoxAnswerer answerer("Current Association Found", button);
    ASSERT_EQ(0, write_associations(Unjournaled(&info))) << "a No is not an error";
    answerer.finish();

    EXPECT_EQ(1, answerer.boxes_answered);
    EXPECT_TRUE(answerer.has_yes_and_no);
    EXPECT_NE(std::string::npos, answerer.text.find("\".zindlea\"")) << answerer.text;
    EXPECT_NE(std::string::npos, answerer.text.find(kProduct)) << answerer.text;
    if (button == IDYES) {
      EXPECT_EQ(".zindlea.file.type", value(".zindlea"));
      EXPECT_EQ(".zindleb.file.type", value(".zindleb"));
      EXPECT_EQ(2u, info.uninstall_items.size());
    } else {
      EXPECT_EQ("another.program.type", value(".zindlea"));
      EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".zindlea.file.type"));
      EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".zindleb")) << "later associations are not written";
      EXPECT_EQ(0u, info.uninstall_items.size());
    }
  }
}

// So are those whose record would be too long to be read back at uninstall.
TEST_F(AssociationsTest, ExtensionsThatNameNoKeyAreSkipped) {
  MessageRecorder boxes(IDYES);
  reg_set_string(HKEY_CLASSES_ROOT, ".zindlea\\inner", "", "untouched");
  add("", "tool.exe", 0);
  add(".zindlea\\inner", "tool.exe", 0);
  add(".zindlec", std::string(260, 'p').c_str(), 0);
  add(".zindleb", "tool.exe", 0);
  ASSERT_EQ(0, write_associations(Unjournaled(&info_)));
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ("untouched", value(".zindlea\\inner"));
  EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".file.type"));
  EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".zindlec"));
  EXPECT_EQ((std::vector<std::string>{".zindleb,tool.exe"}), recorded());
}

}  // namespace
