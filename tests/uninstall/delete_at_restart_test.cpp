// Deletion at the next restart: the WinInit.Ini [Rename] editor on a scratch Windows folder, and
// mark_file_for_deletion through the system's delayed move or, when that is refused, WinInit.Ini.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "support/scratch.h"
#include "uninstall/remove_items.h"

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

bool is_95_family() { return (GetVersion() & 0x80000000u) != 0; }

// PendingFileRenameOperations as raw bytes ("" when missing).
std::string pending_renames() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  std::string data(65536, '\0');
  DWORD size = static_cast<DWORD>(data.size()), type = 0;
  LONG rc = RegQueryValueExA(key, kPending, nullptr, &type, reinterpret_cast<BYTE *>(&data[0]), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? data.substr(0, size) : "";
}

std::string windows_dir() {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, sizeof dir);
  return std::string(dir, n);
}

class WinInitTest : public ::testing::Test {
 protected:
  std::string ini() const { return scratch_.file("WinInit.Ini"); }
  ScratchDir scratch_{"wininit"};
};

struct WinInitCase {
  const char *what;
  bool exists;
  std::string before;
  std::string after;
};

TEST_F(WinInitTest, EntryGoesFirstIntoTheRenameSectionOrANewOneAtTheEnd) {
  const std::string entry = "NUL=C:\\TEMP\\setup.exe\r\n";
  const std::vector<WinInitCase> cases = {
      {"no file", false, "", "[Rename]\r\n" + entry},
      {"empty file", true, "", "[Rename]\r\n" + entry},
      {"section with one entry", true, "[Rename]\r\nNUL=C:\\old.tmp\r\n", "[Rename]\r\n" + entry + "NUL=C:\\old.tmp\r\n"},
      {"section between others", true, "[boot]\r\na=1\r\n[Rename]\r\nNUL=old\r\n[later]\r\nb=2\r\n",
       "[boot]\r\na=1\r\n[Rename]\r\n" + entry + "NUL=old\r\n[later]\r\nb=2\r\n"},
      {"lower-case header", true, "[rename]\r\nNUL=old\r\n", "[rename]\r\nNUL=old\r\n[Rename]\r\n" + entry},
      {"last line without break", true, "[rename]\r\nNUL=old", "[rename]\r\nNUL=old\r\n[Rename]\r\n" + entry},
      {"zero byte before the header", true, std::string("junk\0[Rename]\r\nNUL=old\r\n", 24),
       std::string("junk\0[Rename]\r\nNUL=old\r\n", 24) + "[Rename]\r\n" + entry},
  };
  for (const WinInitCase &c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileA(ini().c_str());
    if (c.exists) {
      ASSERT_TRUE(write_file(ini(), c.before));
    }
    EXPECT_EQ(1, add_wininit_rename(scratch_.path().c_str(), "C:\\TEMP\\setup.exe"));
    EXPECT_EQ(c.after, read_file(ini()));
  }
}

TEST_F(WinInitTest, LaterEntryGoesAboveTheEarlierOne) {
  std::string dir_with_separator = scratch_.path() + "\\";
  EXPECT_EQ(1, add_wininit_rename(scratch_.path().c_str(), "C:\\T\\first.dll"));
  EXPECT_EQ(1, add_wininit_rename(dir_with_separator.c_str(), "C:\\Long Name\\second.dll"));
  EXPECT_EQ("[Rename]\r\nNUL=C:\\Long Name\\second.dll\r\nNUL=C:\\T\\first.dll\r\n", read_file(ini()));
}

TEST_F(WinInitTest, NothingChangesWhenTheFileIsHeldOrThePathWouldAddLines) {
  const std::string before = "[Rename]\r\nNUL=old\r\n";
  ASSERT_TRUE(write_file(ini(), before));
  {
    HANDLE held = CreateFileA(ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, add_wininit_rename(scratch_.path().c_str(), "C:\\T\\x.dll"));
    CloseHandle(held);
  }
  for (const char *path : {"C:\\x.dll\r\nNUL=C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", "C:\\a\nb", "C:\\a\tb"})
    EXPECT_EQ(0, add_wininit_rename(scratch_.path().c_str(), path));
  EXPECT_EQ(0, add_wininit_rename(scratch_.path().c_str(), std::string(1100, 'p').c_str()));
  EXPECT_EQ(before, read_file(ini()));
  EXPECT_EQ(0, add_wininit_rename(scratch_.file("missing").c_str(), "C:\\T\\x.dll"));
}

// GetVersion is fixed when the process starts; the end-to-end suite runs this program with
// Wine acting as each family and tells it which one to expect.
TEST(MarkFileForDeletion, RunsAsTheExpectedWindowsFamily) {
  const char *expected = getenv("ZINDLE_EXPECT_FAMILY");
  if (!expected) GTEST_SKIP() << "no family requested";
  EXPECT_EQ(std::string(expected) == "95", is_95_family());
}

TEST(MarkFileForDeletion, SystemDelaysTheDeletionWhereItCan) {
  ScratchDir scratch("mark-system");
  const std::string path = scratch.file("copy of setup.exe");
  write_file(path, "x");
  mark_file_for_deletion(path.c_str());
  bool in_pending = pending_renames().find(path) != std::string::npos;
  std::string wininit = read_file(windows_dir() + "\\WinInit.Ini");
  bool in_wininit = wininit.find("NUL=" + path + "\r\n") != std::string::npos;
  if (!is_95_family()) {
    EXPECT_TRUE(in_pending);
    EXPECT_FALSE(in_wininit);
  } else {
    EXPECT_TRUE(in_pending || in_wininit);  // a 95-family system has only WinInit.Ini
  }
  EXPECT_TRUE(file_exists(path));  // nothing goes before the restart
}

// Where the system refuses the delayed move (as the 95 family does), the entry goes into the
// Windows folder's WinInit.Ini. The refusal is brought about by giving the system's list of
// pending renames a type it cannot extend.
TEST(MarkFileForDeletion, FallsBackToWinInitWhenTheSystemRefuses) {
  const std::string saved = pending_renames();
  const std::string ini = windows_dir() + "\\WinInit.Ini";
  const bool had_ini = file_exists(ini);
  const std::string saved_ini = read_file(ini);
  {
    kRegKey key;
    ASSERT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, kSessionManager));
    ASSERT_EQ(1, key.SetDWORD(kPending, 1));
  }
  const std::string path = "C:\\zindle-probe\\setup.exe";
  bool refused = !MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  if (refused) mark_file_for_deletion("C:\\zindle-fallback\\setup.exe");
  const std::string after = read_file(ini);
  {
    kRegKey key;
    ASSERT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, kSessionManager));
    if (saved.empty()) {
      key.Delete(kPending);
    } else {
      RegSetValueExA(key.getkey(), kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(saved.data()),
                     static_cast<DWORD>(saved.size()));
    }
  }
  if (had_ini) {
    write_file(ini, saved_ini);
  } else {
    DeleteFileA(ini.c_str());
  }
  if (!refused) GTEST_SKIP() << "this system cannot be made to refuse a delayed move";
  if (saved_ini.empty()) {
    EXPECT_EQ("[Rename]\r\nNUL=C:\\zindle-fallback\\setup.exe\r\n", after);
  }
  EXPECT_NE(std::string::npos, after.find("[Rename]\r\nNUL=C:\\zindle-fallback\\setup.exe\r\n"));
}

}  // namespace
