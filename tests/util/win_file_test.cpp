// WinFile on real files: reads of every size across its buffer, seeks inside and outside what it
// buffered, the end of the file, writes after reads, and failures that leave nothing open.
#include "win_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch.h"

namespace {

std::string pattern(size_t size) {
  std::string bytes(size, 0);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

TEST(WinFile, ReadsSeeksAndWritesLikeTheFileHoldsThem) {
  ScratchDir dir("WinFile");
  const std::string path = dir.file("data.bin"), bytes = pattern(10000);
  WinFile out;
  ASSERT_EQ(1, out.Create(path.c_str()));
  EXPECT_EQ(0, out.Create(path.c_str())) << "a second open while one is held";
  EXPECT_EQ(1, out.Write(bytes.data(), bytes.size()));
  EXPECT_EQ(1, out.Close());
  EXPECT_EQ(0, out.Close());

  WinFile in;
  ASSERT_EQ(1, in.OpenRead(path.c_str()));
  uint64_t length = 0;
  ASSERT_EQ(1, in.Size(&length));
  EXPECT_EQ(bytes.size(), length);
  // Sequential reads of mixed sizes, some straddling the buffer's end, one larger than it.
  size_t at = 0;
  for (size_t size : {1, 275, 3819, 2, 5000, 903}) {
    std::string got(size, 0);
    ASSERT_EQ(1, in.ReadExact(&got[0], size)) << at;
    EXPECT_EQ(bytes.substr(at, size), got) << at;
    at += size;
    EXPECT_EQ(at, in.Position());
  }
  EXPECT_EQ(-1, in.ReadByte()) << "past the end";
  // Seeks backwards, forwards, inside and outside the buffered part.
  for (uint64_t offset : {9990u, 9500u, 0u, 4095u, 4096u, 300u, 10000u}) {
    ASSERT_EQ(1, in.Seek(offset));
    std::string got(10, 0);
    size_t n = in.Read(&got[0], got.size());
    EXPECT_EQ(bytes.substr(offset, 10), got.substr(0, n)) << offset;
  }
  EXPECT_EQ(0, in.Write("x", 1)) << "opened for reading";
  EXPECT_EQ(1, in.write_failed());
  in.Close();
  EXPECT_EQ(0, in.OpenRead(dir.file("missing.bin").c_str()));
  EXPECT_EQ(0, in.is_open());
  EXPECT_EQ(0u, in.Read(&at, 1));
}

}  // namespace
