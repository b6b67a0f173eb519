// package.dat: writing the dependency package from real files, unpacking it, and refusing
// damaged or hostile packages without writing outside the target folder or hanging.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "install/install_support.h"
#include "install/package.h"
#include "support/scratch.h"

using install_test::Unjournaled;

namespace {

std::string entry(const std::string &name, const std::string &bytes) {
  std::string out = "^" + name;
  out.resize(1 + 260, '\0');
  uint32_t size = static_cast<uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) out += static_cast<char>(size >> (8 * i));
  return out + bytes;
}

// Entry with a size field that does not match the bytes that follow.
std::string entry_with_size(const std::string &name, uint32_t size, const std::string &bytes) {
  std::string out = entry(name, "");
  for (int i = 0; i < 4; ++i) out[261 + i] = static_cast<char>(size >> (8 * i));
  return out + bytes;
}

// Runs with the current directory moved to dir, as setup runs in its source folder.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string &dir) {
    GetCurrentDirectoryA(sizeof saved_, saved_);
    SetCurrentDirectoryA(dir.c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }

 private:
  char saved_[MAX_PATH] = "";
};

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install_ = scratch_.file("install");
    source_ = scratch_.file("source");
    target_ = scratch_.file("target") + "\\";  // as GetTempPathA gives it
    for (const std::string &dir : {install_, source_, target_}) CreateDirectoryA(dir.c_str(), nullptr);
    info_.install_dir = install_.c_str();
  }
  void add_dependency(const char *name) {
    SetupDependancy dependency;
    dependency.name = name;
    info_.dependencies.append(dependency);
  }
  std::string package_path() const { return install_ + "\\package.dat"; }
  std::vector<std::string> target_files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

  ScratchDir scratch_{"package"};
  std::string install_, source_, target_;
  SetupInfo info_;
};

TEST_F(PackageTest, PackageWithoutDependenciesIsTheTerminatorAlone) {
  EXPECT_EQ(1, write_package(Unjournaled(&info_)));
  EXPECT_EQ("%", read_file(package_path()));
  EXPECT_EQ(1, extract_package(install_.c_str(), target_.c_str()));
  EXPECT_TRUE(target_files().empty());
}

TEST_F(PackageTest, RoundTripIsByteExactAndInDependencyOrder) {
  std::string binary("MZ\0\x01\xff\r\n\x1a%^", 11);
  ASSERT_TRUE(write_file(source_ + "\\x.dll", binary));
  ASSERT_TRUE(write_file(source_ + "\\empty.txt", ""));
  ASSERT_TRUE(write_file(source_ + "\\big.bin", std::string(70000, 'b')));
  add_dependency("x.dll");
  add_dependency("empty.txt");
  add_dependency("big.bin");
  {
    CurrentDirectory in_source(source_);
    ASSERT_EQ(1, write_package(Unjournaled(&info_)));
  }
  std::string expected = entry("x.dll", binary) + entry("empty.txt", "") + entry("big.bin", std::string(70000, 'b')) + "%";
  EXPECT_EQ(expected, read_file(package_path()));

  EXPECT_EQ(1, extract_package(install_.c_str(), target_.c_str()));
  EXPECT_EQ(binary, read_file(target_ + "x.dll"));
  EXPECT_TRUE(file_exists(target_ + "empty.txt"));
  EXPECT_EQ("", read_file(target_ + "empty.txt"));
  EXPECT_EQ(std::string(70000, 'b'), read_file(target_ + "big.bin"));
}

// A dependency that cannot be read leaves no entry behind, so the package stays readable.
TEST_F(PackageTest, UnreadableDependencyIsLeftOutWhole) {
  ASSERT_TRUE(write_file(source_ + "\\a.dll", "AAA"));
  ASSERT_TRUE(write_file(source_ + "\\c.dll", "CCC"));
  add_dependency("a.dll");
  add_dependency("missing.dll");
  add_dependency(std::string(300, 'n').c_str());  // does not fit the name field
  add_dependency("c.dll");
  {
    CurrentDirectory in_source(source_);
    ASSERT_EQ(1, write_package(Unjournaled(&info_)));
  }
  EXPECT_EQ(entry("a.dll", "AAA") + entry("c.dll", "CCC") + "%", read_file(package_path()));
  EXPECT_EQ(1, extract_package(install_.c_str(), target_.c_str()));
  EXPECT_EQ((std::vector<std::string>{"a.dll", "c.dll"}), target_files());
}

TEST_F(PackageTest, MissingInstallFolderOrPackageFails) {
  info_.install_dir = scratch_.file("nowhere").c_str();
  EXPECT_EQ(0, write_package(Unjournaled(&info_)));
  EXPECT_EQ(0, extract_package(scratch_.file("nowhere").c_str(), target_.c_str()));
  EXPECT_EQ(0, extract_package(install_.c_str(), target_.c_str()));
}

// A member in a folder is skipped; one that cannot be written into the target ends the unpacking
// with -1, so that the uninstall does not go on without it.
TEST_F(PackageTest, MemberInAFolderIsSkippedOneThatCannotBeWrittenFails) {
  ASSERT_TRUE(write_file(package_path(), entry("nodir\\x.dll", "NNN") + entry("ok.dll", "OK") + "%"));
  EXPECT_EQ(1, extract_package(install_.c_str(), target_.c_str()));
  EXPECT_FALSE(dir_exists(target_ + "nodir"));
  EXPECT_EQ("OK", read_file(target_ + "ok.dll"));
  ASSERT_TRUE(CreateDirectoryA((target_ + "taken.dll").c_str(), nullptr));
  ASSERT_TRUE(write_file(package_path(), entry("taken.dll", "TTT") + entry("ok.dll", "OK") + "%"));
  EXPECT_EQ(-1, extract_package(install_.c_str(), target_.c_str()));
  EXPECT_TRUE(dir_exists(target_ + "taken.dll"));
}

struct HostilePackage {
  const char *what;
  std::string bytes;
  int result;
};

// Damaged or hostile packages: the read ends (failing when the package is damaged), nothing is
// written outside the target folder, and the good member that follows a refused name still comes out.
TEST_F(PackageTest, DamagedAndHostilePackagesStayInsideTheTarget) {
  const std::string outside = scratch_.path() + "\\evil";
  char drive_root[4] = "C:\\";
  drive_root[0] = scratch_.path()[0];
  const std::string root_evil = std::string(drive_root) + "evil";
  const std::string good = entry("good.dll", "GOOD");
  const std::vector<HostilePackage> cases = {
      {"empty file", "", 0},
      {"no terminator", good, 0},
      {"tag only", "^", 0},
      {"name cut short", std::string("^good.dll\0\0\0", 12), 0},
      {"size past the end", entry_with_size("evil", 100, "abc") + "%", 0},
      {"size near 4 GiB", entry_with_size("evil", 0xFFFFFFF0u, "abc") + "%", 0},
      {"size 4 GiB - 1", entry_with_size("evil", 0xFFFFFFFFu, "") + "%", 0},
      {"unterminated name", "^" + std::string(260, 'e') + std::string(4, '\0') + "%", 0},
      {"parent folder", entry("..\\evil", "X") + good + "%", 1},
      {"parent with slash", entry("../evil", "X") + good + "%", 1},
      {"climbing from a subfolder", entry("sub\\..\\..\\evil", "X") + good + "%", 1},
      {"dots and blanks", entry(".. \\evil", "X") + entry("...\\evil", "X") + good + "%", 1},
      {"absolute with drive", entry(outside, "X") + good + "%", 1},
      {"drive relative", entry(std::string(drive_root, 2) + "evil", "X") + good + "%", 1},
      {"rooted", entry("\\evil", "X") + entry("/evil", "X") + good + "%", 1},
      {"stream", entry("good.dll:evil", "X") + good + "%", 1},
      {"device", entry("CON", "X") + entry("nul.txt", "X") + good + "%", 1},
      {"line break in name", entry("a\r\nb", "X") + good + "%", 1},
  };
  for (const HostilePackage &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(write_file(package_path(), c.bytes));
    EXPECT_EQ(c.result, extract_package(install_.c_str(), target_.c_str()));
    EXPECT_FALSE(file_exists(outside));
    EXPECT_FALSE(file_exists(root_evil));
    EXPECT_FALSE(file_exists(target_ + "evil"));
    std::vector<std::string> files = target_files();
    if (c.result == 1 || c.what == std::string("no terminator")) {
      EXPECT_EQ(std::vector<std::string>{"good.dll"}, files);
      EXPECT_EQ("GOOD", read_file(target_ + "good.dll"));
    } else {
      EXPECT_TRUE(files.empty());
    }
    DeleteFileA((target_ + "good.dll").c_str());
  }
  DeleteFileA(outside.c_str());
  DeleteFileA(root_evil.c_str());
}

}  // namespace
