// FilesDat and get_file_size on real archives in a scratch folder: block layout, lookups,
// damaged entries, the object's life cycle, and archives made by the packer.
#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>

#include "util/decode_ahead.h"
#include "util/files_dat.h"
#include "sdk/utilities.h"
#include "support/files_dat_writer.h"
#include "support/scratch.h"

namespace {

const unsigned long kNormal = 0x80;
const unsigned long kAbsent = 0xFFFFFFFF;

class FilesDatTest : public ::testing::Test {
 protected:
  ScratchDir dir_{"FilesDatTest"};
  std::string archive_ = dir_.file("files.dat");

  std::string path(const char *name) const { return dir_.file(name); }
  void write_archive(const std::string &bytes) { ASSERT_TRUE(write_file(archive_, bytes)); }
};

// Sizes around the block boundaries for several block sizes, all in one archive per block size.
TEST_F(FilesDatTest, ExtractsEveryMemberByteExactAroundBlockBoundaries) {
  for (uint32_t block : {1u, 7u, 16u, 4096u}) {
    SCOPED_TRACE("block size " + std::to_string(block));
    std::vector<FilesDatMember> members;
    for (size_t size : {size_t(0), size_t(1), size_t(block - 1), size_t(block), size_t(block + 1), size_t(2 * block),
                        size_t(3 * block + 5)}) {
      std::string name = "m" + std::to_string(members.size()) + "_" + std::to_string(size) + ".bin";
      members.push_back({name, pattern_bytes(size, static_cast<uint32_t>(size * 31 + block)), block});
    }
    write_archive(make_files_dat(members));
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    for (const FilesDatMember &member : members) {
      SCOPED_TRACE(member.name);
      std::string out = path("out.bin");
      EXPECT_EQ(1, archive.Extract(member.name.c_str(), out.c_str()));
      EXPECT_EQ(member.bytes, read_file(out));
      EXPECT_TRUE(file_exists(out));
      EXPECT_EQ(member.bytes.size(), archive.Size(member.name.c_str()));
      EXPECT_EQ(kNormal, archive.Attributes(member.name.c_str()));
      DeleteFileA(out.c_str());
    }
  }
}

// The last pair is whole even when few output bytes remain: size B+1 needs 4B bytes, an exact
// multiple 2B needs 4B as well (no extra pair); one byte less is a damaged member.
TEST_F(FilesDatTest, MemberOccupiesWholeBlockPairs) {
  const uint32_t block = 16;
  for (size_t size : {size_t(block + 1), size_t(2 * block)}) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::string bytes = make_files_dat({{"f.bin", pattern_bytes(size, 5), block}});
    ASSERT_EQ(2 * kFilesDatEntrySize + 4 * block, bytes.size());
    std::string out = path("f.bin");
    write_archive(bytes);
    {
      FilesDat archive;
      ASSERT_EQ(1, archive.Open(archive_.c_str()));
      EXPECT_EQ(1, archive.Extract("f.bin", out.c_str()));
      EXPECT_EQ(pattern_bytes(size, 5), read_file(out));
    }
    DeleteFileA(out.c_str());
    write_archive(bytes.substr(0, bytes.size() - 1));
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_EQ(0, archive.Extract("f.bin", out.c_str()));
    EXPECT_FALSE(file_exists(out));
  }
}

TEST_F(FilesDatTest, EmptyMemberGivesEmptyFileEvenAtTheArchivesEnd) {
  std::string bytes = make_files_dat({{"empty.txt", "", 64}});
  ASSERT_EQ(bytes.size(), files_dat_field(bytes, 0, kFilesDatOffsetField));  // data offset = end of file
  write_archive(bytes);
  std::string out = path("empty.txt");
  ASSERT_TRUE(write_file(out, "old contents"));
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(1, archive.Extract("empty.txt", out.c_str()));
  EXPECT_TRUE(file_exists(out));
  EXPECT_EQ("", read_file(out));
  EXPECT_EQ(0u, archive.Size("empty.txt"));
  EXPECT_EQ(kNormal, archive.Attributes("empty.txt"));
}

TEST_F(FilesDatTest, LookupIgnoresCaseAndTheFirstOfTwoEqualNamesWins) {
  write_archive(make_files_dat({{"readme.txt", "first", 4},
                                {"Sub\\Data.Bin", "data", 4},
                                {"README.TXT", "the second one", 4}}));
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  FilesDatEntry entry;
  ASSERT_EQ(1, archive.Find("README.TXT", &entry));
  EXPECT_STREQ("readme.txt", entry.name);
  EXPECT_EQ(5u, entry.size);
  EXPECT_EQ(5u, archive.Size("ReadMe.Txt"));
  EXPECT_EQ(1, archive.Extract("README.TXT", path("r.txt").c_str()));
  EXPECT_EQ("first", read_file(path("r.txt")));
  EXPECT_EQ(4u, archive.Size("sub\\data.bin"));
  EXPECT_EQ(1, archive.Find("readme.txt", nullptr));

  // Near misses find nothing and leave the caller's entry untouched.
  for (const char *name : {"readme", "readme.txt.bak", "readme.tx", "sub/data.bin", ""}) {
    SCOPED_TRACE(name);
    memset(&entry, 0x33, sizeof entry);
    EXPECT_EQ(0, archive.Find(name, &entry));
    EXPECT_EQ(0x33, static_cast<unsigned char>(entry.name[0]));
    EXPECT_EQ(kAbsent, archive.Attributes(name));
    EXPECT_EQ(0u, archive.Size(name));
  }
}

// Without a terminator, entries run up to the end of the file: lookups stop there.
TEST_F(FilesDatTest, DirectoryWithoutTerminatorEndsAtTheEndOfTheFile) {
  std::string bytes = make_files_dat({{"a.txt", "", 8}, {"b.txt", "", 8}}, false);
  ASSERT_EQ(2 * kFilesDatEntrySize, bytes.size());
  write_archive(bytes);
  {
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_EQ(0, archive.Find("absent.txt", nullptr));
    EXPECT_EQ(1, archive.Find("b.txt", nullptr));
    EXPECT_EQ(1, archive.Extract("b.txt", path("b.txt").c_str()));
    EXPECT_TRUE(file_exists(path("b.txt")));
  }
  // A directory cut off inside an entry: the whole entries before it still count.
  write_archive(bytes.substr(0, kFilesDatEntrySize + 100));
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(1, archive.Find("a.txt", nullptr));
  EXPECT_EQ(0, archive.Find("b.txt", nullptr));
  EXPECT_EQ(0, archive.Find("absent.txt", nullptr));
}

// A name that fills its whole field has no terminator: the entry is skipped, the rest are found.
TEST_F(FilesDatTest, EntryWithUnterminatedNameIsSkipped) {
  std::string full(260, 'A');
  write_archive(make_files_dat({{full, "x", 4}, {"next.txt", "next", 4}}));
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(0, archive.Find(full.c_str(), nullptr));
  EXPECT_EQ(0, archive.Find(full.substr(0, 259).c_str(), nullptr));
  EXPECT_EQ(1, archive.Extract("next.txt", path("next.txt").c_str()));
  EXPECT_EQ("next", read_file(path("next.txt")));
}

// Entries whose blocks cannot be read never touch the destination: a new one is not created,
// an existing one keeps its contents.
TEST_F(FilesDatTest, DamagedEntriesFailWithoutWritingAnything) {
  struct Case {
    const char *what;
    size_t field;
    uint32_t value;
    size_t cut;  // bytes cut off the archive's end
  };
  const Case cases[] = {
      {"block size 0", kFilesDatBlockSizeField, 0, 0},
      {"data offset past the end", kFilesDatOffsetField, 100000, 0},
      {"data offset at the end of the file", kFilesDatOffsetField, 2 * 276 + 5 * 16, 0},
      {"size larger than the data", kFilesDatSizeField, 41, 0},
      {"size 4 GiB - 1", kFilesDatSizeField, 0xFFFFFFFF, 0},
      {"member data cut short", kFilesDatSizeField, 40, 1},
      // 2 * B * ceil(size / B) is 2^32 here: wrapping 32-bit arithmetic would see an empty member.
      {"span of exactly 2^32 bytes", kFilesDatBlockSizeField, 0x80000000, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = make_files_dat({{"m.bin", pattern_bytes(40, 9), 8}});
    set_files_dat_field(&bytes, 0, c.field, c.value);
    if (c.field == kFilesDatBlockSizeField && c.value == 0x80000000)
      set_files_dat_field(&bytes, 0, kFilesDatSizeField, 0x80000000);
    write_archive(bytes.substr(0, bytes.size() - c.cut));
    std::string fresh = path("fresh.bin"), existing = path("existing.bin");
    ASSERT_TRUE(write_file(existing, "keep me"));
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_EQ(kNormal, archive.Attributes("m.bin"));
    EXPECT_EQ(0, archive.Extract("m.bin", fresh.c_str()));
    EXPECT_EQ(0, archive.Extract("m.bin", existing.c_str()));
    EXPECT_FALSE(file_exists(fresh));
    EXPECT_EQ("keep me", read_file(existing));
  }
}

// Compressed members beside stored ones: text that shrinks, bytes that do not, an empty member
// and one larger than the deflate window come out byte for byte, also through the SDK's function.
TEST_F(FilesDatTest, CompressedMembersInflateByteForByte) {
  std::string text;
  while (text.size() < 200000) text += "line " + std::to_string(text.size()) + " of a text that compresses\r\n";
  const std::vector<FilesDatMember> members = {{"text.txt", text, 0, true},
                                               {"noise.bin", pattern_bytes(70000, 3), 0, true},
                                               {"empty.txt", "", 0, true},
                                               {"stored.bin", pattern_bytes(100, 4), 16}};
  write_archive(make_files_dat(members));
  for (const FilesDatMember &member : members) {
    SCOPED_TRACE(member.name);
    std::string out = path("out.bin");
    EXPECT_EQ(1, extract_archive_member(archive_.c_str(), member.name.c_str(), out.c_str()));
    EXPECT_EQ(member.bytes, read_file(out));
    DeleteFileA(out.c_str());
  }
  EXPECT_EQ(0, extract_archive_member(archive_.c_str(), "absent.txt", path("out.bin").c_str()));
  EXPECT_EQ(0, extract_archive_member(path("nowhere.dat").c_str(), "text.txt", path("out.bin").c_str()));
}

// A hostile compressed member fails like any damaged one and leaves no file behind.
TEST_F(FilesDatTest, DamagedCompressedMembersLeaveNothing) {
  const std::string content = pattern_bytes(3000, 5) + std::string(3000, 'a');
  const size_t data = 2 * kFilesDatEntrySize;  // the member's length field
  struct Case {
    const char *what;
    std::function<void(std::string *)> damage;
  } cases[] = {
      {"stream cut short", [](std::string *a) { a->resize(a->size() - 10); }},
      {"length field shorter than the stream",
       [&](std::string *a) { set_files_dat_field(a, 0, data, files_dat_field(*a, 0, data) - 10); }},
      {"length field longer than the stream", [&](std::string *a) {
         *a += "tail";
         set_files_dat_field(a, 0, data, files_dat_field(*a, 0, data) + 4);
       }},
      {"inflates past the entry's size", [](std::string *a) { set_files_dat_field(a, 0, kFilesDatSizeField, 5999); }},
      {"fewer bytes than the entry's size", [](std::string *a) { set_files_dat_field(a, 0, kFilesDatSizeField, 6001); }},
      {"wrong checksum", [](std::string *a) { set_files_dat_field(a, 0, kFilesDatReservedField, 1); }},
      {"garbage stream", [&](std::string *a) { a->replace(data + 4, 200, pattern_bytes(200, 7)); }},
      {"length field past the end", [&](std::string *a) { a->resize(data + 2); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = make_files_dat({{"m.bin", content, 0, true}});
    c.damage(&bytes);
    write_archive(bytes);
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_EQ(0, archive.Extract("m.bin", path("fresh.bin").c_str()));
    EXPECT_FALSE(file_exists(path("fresh.bin")));
  }
}

// The reserved field holds the content's CRC-32; 0 (archives made before it) checks nothing.
TEST_F(FilesDatTest, ChecksumMismatchIsADamagedMember) {
  const std::string content = pattern_bytes(40, 9);
  const uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(content.data()), 40));
  EXPECT_EQ(0x88342145u, crc32(0, reinterpret_cast<const Bytef *>("files.dat"), 9));
  // An empty member's checksum is that of no bytes, 0.
  struct Case {
    std::string content;
    uint32_t stored;
    bool good;
  } cases[] = {{content, 0, true}, {content, crc, true}, {content, crc ^ 1u, false}, {"", 0, true}, {"", 7, false}};
  for (const Case &c : cases) {
    std::string bytes = make_files_dat({{"m.bin", c.content, 8}});
    set_files_dat_field(&bytes, 0, kFilesDatReservedField, c.stored);
    write_archive(bytes);
    std::string out = path("checked.bin");
    DeleteFileA(out.c_str());
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_EQ(c.good ? 1 : 0, archive.Extract("m.bin", out.c_str())) << c.stored;
    EXPECT_EQ(c.good, file_exists(out)) << "no partial file for a damaged member";
  }
}

// Extracting onto the archive itself under another spelling of its name: creating the
// destination empties the archive after the checks, so the first block read comes back short.
// That is a failure, and no byte that was not read reaches the destination. (The destination
// cannot be removed here: it is the archive that is still open.)
TEST_F(FilesDatTest, ShortReadIsAFailureAndWritesNothingUnread) {
  write_archive(make_files_dat({{"big.bin", pattern_bytes(3 * 4096, 2), 4096}}));
  std::string same_file = dir_.file("FILES.DAT");
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(0, archive.Extract("big.bin", same_file.c_str()));
  archive.Close();
  EXPECT_EQ("", read_file(same_file));
}

TEST_F(FilesDatTest, OpenCloseAndUseOfAClosedObject) {
  write_archive(make_files_dat({{"one.txt", "one", 4}}));
  std::string other = path("other.dat");
  ASSERT_TRUE(write_file(other, make_files_dat({{"two.txt", "two", 4}})));
  std::string out = path("out.txt");

  FilesDat archive;
  EXPECT_EQ(0, archive.Find("one.txt", nullptr));
  EXPECT_EQ(0, archive.Extract("one.txt", out.c_str()));
  EXPECT_FALSE(file_exists(out));
  EXPECT_EQ(kAbsent, archive.Attributes("one.txt"));
  EXPECT_EQ(0, archive.Open(path("missing.dat").c_str()));
  EXPECT_EQ(0, archive.Open((dir_.path() + "\\" + std::string(300, 'x')).c_str()));

  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(0, archive.Open(other.c_str()));  // refused; the first archive stays open
  EXPECT_EQ(3u, archive.Size("one.txt"));
  EXPECT_EQ(0u, archive.Size("two.txt"));

  EXPECT_EQ(1, archive.Close());
  EXPECT_EQ(1, archive.Close());
  EXPECT_EQ(0u, archive.Size("one.txt"));
  EXPECT_EQ(0, archive.Extract("one.txt", out.c_str()));
  EXPECT_TRUE(DeleteFileA(archive_.c_str())) << "Close must release the archive";

  ASSERT_EQ(1, archive.Open(other.c_str()));
  EXPECT_EQ(3u, archive.Size("two.txt"));
  EXPECT_EQ(0, archive.Extract("two.txt", path("no\\such\\folder\\two.txt").c_str()));
}

TEST_F(FilesDatTest, DestructorClosesTheArchive) {
  write_archive(make_files_dat({{"one.txt", "one", 4}}));
  {
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    EXPECT_FALSE(DeleteFileA(archive_.c_str())) << "the open archive should be in use";
  }
  EXPECT_TRUE(DeleteFileA(archive_.c_str()));
}

// Offsets above 2 GiB: the member lies 3 GiB into a sparse archive.
TEST_F(FilesDatTest, MemberBeyondTwoGigabytes) {
  const uint32_t offset = 0xC0000000u;
  std::string directory = make_files_dat({{"far.bin", "", 16}});
  set_files_dat_field(&directory, 0, kFilesDatSizeField, 40);
  set_files_dat_field(&directory, 0, kFilesDatOffsetField, offset);
  std::string blocks = make_files_dat({{"x", pattern_bytes(40, 77), 16}}).substr(2 * kFilesDatEntrySize);
  HANDLE file = CreateFileA(archive_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  LONG high = 0;
  bool ok = WriteFile(file, directory.data(), static_cast<DWORD>(directory.size()), &written, nullptr) &&
            SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == offset &&
            WriteFile(file, blocks.data(), static_cast<DWORD>(blocks.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) GTEST_SKIP() << "this file system cannot hold a 3 GiB sparse file";

  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(40u, archive.Size("far.bin"));
  EXPECT_EQ(1, archive.Extract("far.bin", path("far.bin").c_str()));
  EXPECT_EQ(pattern_bytes(40, 77), read_file(path("far.bin")));
  archive.Close();
  DeleteFileA(archive_.c_str());
}

// get_file_size looks at "files.dat" in the current directory: the fixture moves there and back.
class GetFileSizeTest : public FilesDatTest {
 protected:
  void SetUp() override {
    DWORD n = GetCurrentDirectoryA(sizeof saved_, saved_);
    ASSERT_TRUE(n > 0 && n < sizeof saved_);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(saved_); }
  char saved_[MAX_PATH] = {};
};

TEST_F(GetFileSizeTest, LooseFileWinsOverTheArchive) {
  write_archive(make_files_dat({{"both.txt", std::string(100, 'b'), 16}, {"packed.bin", pattern_bytes(1234, 1), 64}}));
  ASSERT_TRUE(write_file(path("both.txt"), "abc"));
  ASSERT_TRUE(CreateDirectoryA(path("folder").c_str(), nullptr));

  EXPECT_EQ(3u, get_file_size("both.txt"));
  EXPECT_EQ(3u, get_file_size(path("both.txt").c_str()));
  EXPECT_EQ(1234u, get_file_size("packed.bin"));
  EXPECT_EQ(1234u, get_file_size("PACKED.BIN"));
  EXPECT_EQ(0u, get_file_size("absent.bin"));
  EXPECT_EQ(0u, get_file_size("folder"));
  EXPECT_EQ(static_cast<unsigned long>(read_file(archive_).size()), get_file_size("files.dat"));

  // From another directory the archive is not found; full paths of loose files still work.
  ASSERT_TRUE(SetCurrentDirectoryA(path("folder").c_str()));
  EXPECT_EQ(0u, get_file_size("packed.bin"));
  EXPECT_EQ(3u, get_file_size(path("both.txt").c_str()));
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));

  DeleteFileA(path("both.txt").c_str());
  EXPECT_EQ(100u, get_file_size("both.txt"));
  DeleteFileA(archive_.c_str());
  EXPECT_EQ(0u, get_file_size("packed.bin"));
}

// Archives made by the packer (filesdat / filesdat.exe). The end-to-end suite files_dat.sh packs
// them and names their folder in ZINDLE_PACKED_DIR: the archives listed in its "archives.txt",
// the packed files below its "src" folder and their names in "names.txt".
TEST(FilesDatPackedTest, ArchivesFromThePackerReadBackByteExact) {
  const char *dir = getenv("ZINDLE_PACKED_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "run by the end-to-end suite files_dat.sh";
  std::string root = dir;
  std::vector<std::string> archives, names;
  std::istringstream archive_list(read_file(root + "\\archives.txt")), name_list(read_file(root + "\\names.txt"));
  for (std::string line; std::getline(archive_list, line);)
    if (!line.empty()) archives.push_back(line);
  for (std::string line; std::getline(name_list, line);)
    if (!line.empty()) names.push_back(line);
  ASSERT_FALSE(archives.empty());
  ASSERT_FALSE(names.empty());
  ScratchDir out("FilesDatPacked");
  for (const std::string &archive_name : archives) {
    SCOPED_TRACE(archive_name);
    FilesDat archive;
    ASSERT_EQ(1, archive.Open((root + "\\" + archive_name).c_str()));
    for (const std::string &name : names) {
      SCOPED_TRACE(name);
      std::string expected = read_file(root + "\\src\\" + name);
      ASSERT_TRUE(file_exists(root + "\\src\\" + name));
      FilesDatEntry entry;
      ASSERT_EQ(1, archive.Find(name.c_str(), &entry));
      EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef *>(expected.data()), static_cast<uInt>(expected.size())),
                entry.reserved);
      EXPECT_EQ(expected.size(), archive.Size(name.c_str()));
      std::string target = out.file("member.bin");
      EXPECT_EQ(1, archive.Extract(name.c_str(), target.c_str()));
      EXPECT_TRUE(read_file(target) == expected) << "extracted bytes differ";
      DeleteFileA(target.c_str());
    }
  }
}

}  // namespace

// LZMA groups: a mixed payload (text, noise, empty members, a member larger than the dictionary
// and many small ones) in groups made with and without an end marker comes out byte for byte, in
// order, out of order and across groups, also through the SDK's function.
class LzmaGroupTest : public FilesDatTest {
 protected:
  std::vector<std::vector<FilesDatMember>> groups_ = {
      {{"text.txt", std::string(3000, 'a') + pattern_bytes(500, 1) + std::string(3000, 'b'), 0},
       {"noise.bin", pattern_bytes(2000, 2), 0},
       {"empty.txt", "", 0},
       {"last.txt", std::string(1000, 'z'), 0}},
      {{"big.bin", std::string(40000, 'x') + pattern_bytes(30000, 3) + std::string(40000, 'y'), 0}},
      {}};
  LzmaGroupTest() {
    for (int i = 0; i < 300; ++i) groups_[2].push_back({"s" + std::to_string(i), std::string(i % 7, 'a' + i % 26), 0});
  }
  // Extracts each member in order of names; "1" or "0" per member as Extract answered.
  std::string extract(const std::vector<std::string> &names) {
    FilesDat archive;
    EXPECT_EQ(1, archive.Open(archive_.c_str()));
    std::string answers;
    for (const std::string &name : names) {
      std::string out = path("out.bin"), expected;
      for (const auto &group : groups_)
        for (const FilesDatMember &member : group)
          if (member.name == name) expected = member.bytes;
      int ok = archive.Extract(name.c_str(), out.c_str());
      EXPECT_EQ(ok == 1, file_exists(out)) << name << ": a failed member leaves no file";
      EXPECT_TRUE(!ok || read_file(out) == expected) << name << " differs";
      DeleteFileA(out.c_str());
      answers += ok ? '1' : '0';
    }
    return answers;
  }
};

TEST_F(LzmaGroupTest, MembersComeOutByteForByteInAnyOrder) {
  std::vector<std::string> in_order, mixed = {"last.txt", "text.txt", "s299", "big.bin", "empty.txt", "s5", "s4",
                                              "noise.bin", "last.txt"};
  for (const auto &group : groups_)
    for (const FilesDatMember &member : group) in_order.push_back(member.name);
  for (bool end_marker : {false, true}) {
    for (uint32_t dictionary : {4096u, 1u << 20}) {
      SCOPED_TRACE(std::to_string(dictionary) + (end_marker ? " with end marker" : ""));
      write_archive(make_lzma_files_dat(groups_, dictionary, end_marker));
      EXPECT_EQ(std::string(in_order.size(), '1'), extract(in_order));
      EXPECT_EQ(std::string(mixed.size(), '1'), extract(mixed));
      EXPECT_EQ(1, extract_archive_member(archive_.c_str(), "noise.bin", path("n.bin").c_str()));
      EXPECT_EQ(groups_[0][1].bytes, read_file(path("n.bin")));
    }
  }
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  EXPECT_EQ(110000u, archive.Size("big.bin"));
}

// Hostile groups: each damage makes the members it touches damaged (no file left), and leaves
// the others readable. The first group is text, noise, empty, last; results are given in that order.
TEST_F(LzmaGroupTest, DamagedGroupsFailOnlyTheMembersTheyTouch) {
  groups_.resize(1);
  const std::string base = make_lzma_files_dat(groups_, 4096);
  const size_t group = 5 * kFilesDatEntrySize, slots = group + 24, stream = slots + 4 * 16;
  auto set32 = [](std::string *a, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*a)[at + i] = static_cast<char>(v >> (8 * i));
  };
  auto get32 = [&](size_t at) { return files_dat_field(base, 0, at); };
  struct Case {
    const char *what, *expected;
    std::function<void(std::string *)> damage;
  } cases[] = {
      {"intact", "1111", [](std::string *) {}},
      {"archive cut short", "0000", [](std::string *a) { a->resize(a->size() - 3); }},
      {"stream cut short", "1110", [&](std::string *a) { set32(a, group + 12, get32(group + 12) - 3); }},
      {"stream not starting with 0", "0000", [&](std::string *a) { (*a)[stream] = 1; }},
      {"wrong checksum", "1011", [](std::string *a) { set_files_dat_field(a, 1, kFilesDatReservedField, 1); }},
      {"decodes past its members' sizes", "1110", [&](std::string *a) {
         set32(a, group + 8, get32(group + 8) - 1);  // the group's length, the last slot's and entry's size
         set32(a, slots + 3 * 16 + 12, 999);
         set_files_dat_field(a, 3, kFilesDatSizeField, 999);
         set_files_dat_field(a, 3, kFilesDatReservedField, 0);
       }},
      {"dictionary larger than allowed", "0000", [&](std::string *a) { set32(a, group + 17, (8u << 20) + 1); }},
      {"properties past the limits", "0000", [&](std::string *a) { (*a)[group + 16] = 4 + 9 * 1; }},
      {"members overlap", "0000", [&](std::string *a) { set32(a, slots + 16 + 8, get32(slots + 16 + 8) - 1); }},
      {"a gap after the last member", "0000", [&](std::string *a) { set32(a, group + 8, get32(group + 8) + 1); }},
      {"entry size differs from its slot", "1011",
       [](std::string *a) { set_files_dat_field(a, 1, kFilesDatSizeField, 1999); }},
      {"entry's slot outside its group's table", "1011", [&](std::string *a) {
         set_files_dat_field(a, 1, kFilesDatOffsetField, static_cast<uint32_t>(a->size()));
         *a += a->substr(slots + 16, 16);
       }},
      {"no group tag", "0000", [&](std::string *a) { (*a)[group] = 'X'; }},
      {"no members", "0000", [&](std::string *a) { set32(a, group + 4, 0); }},
      {"stream past the archive's end", "0000", [&](std::string *a) { set32(a, group + 12, get32(group + 12) + 1); }},
      {"stream longer than its data", "1110", [&](std::string *a) {
         set32(a, group + 12, get32(group + 12) + 5);
         *a += "extra";
       }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = base;
    c.damage(&bytes);
    write_archive(bytes);
    EXPECT_EQ(c.expected, extract({"text.txt", "noise.bin", "empty.txt", "last.txt"}));
    std::string reversed(c.expected);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(reversed, extract({"last.txt", "empty.txt", "noise.bin", "text.txt"}));
  }
}

// Piece by piece, as the copy step may read: pieces of at most 64 KB that add up to the member; a
// sink that stops fails the member, and the next member of the group still reads whole.
TEST_F(LzmaGroupTest, PiecesAddUpAndASinkThatStopsLeavesTheGroupReadable) {
  struct Sink : MemberSink {
    std::string got;
    size_t stop_after = SIZE_MAX, largest = 0;
    int Take(const unsigned char *data, size_t n) override {
      got.append(reinterpret_cast<const char *>(data), n);
      largest = n > largest ? n : largest;
      return got.size() < stop_after;
    }
  };
  groups_[1][0].bytes += pattern_bytes(200000, 4);
  write_archive(make_lzma_files_dat(groups_, 1u << 16));
  FilesDat archive;
  ASSERT_EQ(1, archive.Open(archive_.c_str()));
  FilesDatEntry entry;
  Sink whole, stopped, next;
  stopped.stop_after = 1000;
  ASSERT_EQ(1, archive.Find("big.bin", &entry));
  ASSERT_EQ(1, archive.BeginMember(entry));
  EXPECT_EQ(1, archive.ReadMember(&whole));
  EXPECT_TRUE(whole.got == groups_[1][0].bytes);
  EXPECT_LE(whole.largest, 65536u);
  ASSERT_EQ(1, archive.Find("text.txt", &entry));
  ASSERT_EQ(1, archive.BeginMember(entry));
  EXPECT_EQ(0, archive.ReadMember(&stopped));
  ASSERT_EQ(1, archive.Find("noise.bin", &entry));
  ASSERT_EQ(1, archive.BeginMember(entry));
  EXPECT_EQ(1, archive.ReadMember(&next));
  EXPECT_TRUE(next.got == groups_[0][1].bytes);
}

// The decoding threads: members asked for in the plan's order, with some passed over, one asked
// under another name, one not planned and one whose checksum is wrong, come out as the caller's own
// reading would give them; the threads stop at once when the caller stops part-way.
TEST_F(LzmaGroupTest, DecodingAheadGivesWhatReadingHereGives) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  if (system.dwNumberOfProcessors < 2) GTEST_SKIP() << "one processor: the copy step reads every member itself";
  std::string bytes = make_lzma_files_dat(groups_, 1u << 16);
  bytes[1 * kFilesDatEntrySize + files_dat::kReservedOffset] ^= 1;  // noise.bin's checksum
  write_archive(bytes);
  struct Progress : WriteProgress {
    uint64_t bytes = 0;
    void Wrote(size_t n) override { bytes += n; }
  };
  struct Ask {
    uint32_t index;
    const char *name;
    const char *expected;  // "written", "damaged" (nothing left) or "yours" (the caller reads it)
  };
  const std::vector<Ask> asks = {
      {0, "text.txt", "written"}, {2, "noise.bin", "damaged"}, {3, "not planned", "yours"},
      {4, "other name", "yours"}, {6, "last.txt", "written"},  {8, "big.bin", "written"},
      {10, "s0", "written"},      {300, "s145", "written"},    {608, "s299", "written"}};
  for (size_t stop_after : {asks.size(), size_t{2}}) {
    ItemList<PlannedMember> plan;
    FilesDat archive;
    ASSERT_EQ(1, archive.Open(archive_.c_str()));
    uint32_t index = 0;
    for (const auto &group : groups_)
      for (const FilesDatMember &member : group) {
        FilesDatEntry entry;
        ASSERT_EQ(1, archive.Find(member.name.c_str(), &entry));
        plan.append(PlannedMember{index, String(member.name.c_str()), entry.size, archive.GroupOf(entry)});
        index += 2;
      }
    DecodeAhead ahead;
    ASSERT_EQ(1, ahead.Start(archive_.c_str(), plan));
    for (size_t i = 0; i < stop_after; ++i) {
      const Ask &ask = asks[i];
      std::string out = path("ahead.bin"), expected;
      for (const auto &group : groups_)
        for (const FilesDatMember &member : group)
          if (member.name == ask.name) expected = member.bytes;
      Progress progress;
      int ok = -1, handled = ahead.Extract(ask.index, ask.name, out.c_str(), &ok, &progress);
      std::string got = !handled ? "yours" : ok == 1 && read_file(out) == expected ? "written" : "damaged";
      EXPECT_EQ(ask.expected, got) << ask.name;
      EXPECT_EQ(ok == 1, file_exists(out)) << ask.name << ": a damaged member leaves no file";
      if (ok == 1) {
        EXPECT_EQ(expected.size(), progress.bytes) << ask.name;
      }
      DeleteFileA(out.c_str());
    }
    ahead.Stop();
    int ok = -1;
    EXPECT_EQ(0, ahead.Extract(608, "s299", path("late.bin").c_str(), &ok, nullptr)) << "stopped threads give nothing";
    EXPECT_FALSE(file_exists(path("late.bin")));
  }
}
