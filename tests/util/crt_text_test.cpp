// The shipped programs' own mem* and str* functions, held against the C library's. They are
// compiled here under other names, since the test program keeps its C runtime.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#define memcpy crt_memcpy
#define memmove crt_memmove
#define memset crt_memset
#define memcmp crt_memcmp
#define memchr crt_memchr
#define strlen crt_strlen
#define strnlen crt_strnlen
#define strncmp crt_strncmp
#define strcmp crt_strcmp
#define strchr crt_strchr
#define strrchr crt_strrchr
#define strstr crt_strstr
#define strcspn crt_strcspn
#include "../../runtime/crt/c_text.cpp"
#undef memcpy
#undef memmove
#undef memset
#undef memcmp
#undef memchr
#undef strlen
#undef strnlen
#undef strncmp
#undef strcmp
#undef strchr
#undef strrchr
#undef strstr
#undef strcspn

namespace {

int sign(int value) { return (value > 0) - (value < 0); }
// Where a search landed, as an offset into text; -1 for null.
long at(const char *text, const void *found) { return found ? static_cast<const char *>(found) - text : -1; }

TEST(CrtText, SearchesAndComparisonsAgreeWithTheCLibrary) {
  const char *texts[] = {"", "a", "abc", "abcabc", "zz\xe9z", "C:\\dir\\file.txt", "aaa"};
  const char *parts[] = {"", "a", "bc", "cab", "\xe9", "\\", "x", "abcabcd", "aa"};
  for (const char *text : texts) {
    size_t n = strlen(text);
    EXPECT_EQ(n, crt_strlen(text)) << text;
    for (size_t limit : {size_t(0), size_t(2), n + 5}) EXPECT_EQ(strnlen(text, limit), crt_strnlen(text, limit));
    for (const char *part : parts) {
      SCOPED_TRACE(std::string(text) + " / " + part);
      EXPECT_EQ(at(text, strstr(text, part)), at(text, crt_strstr(text, part)));
      EXPECT_EQ(strcspn(text, part), crt_strcspn(text, part));
      EXPECT_EQ(sign(strcmp(text, part)), sign(crt_strcmp(text, part)));
      EXPECT_EQ(sign(strncmp(text, part, 2)), sign(crt_strncmp(text, part, 2)));
      EXPECT_EQ(sign(memcmp(text, part, 1)), sign(crt_memcmp(text, part, 1)));
      int c = static_cast<unsigned char>(part[0]);
      EXPECT_EQ(at(text, strchr(text, c)), at(text, crt_strchr(text, c)));
      EXPECT_EQ(at(text, strrchr(text, c)), at(text, crt_strrchr(text, c)));
      EXPECT_EQ(at(text, memchr(text, c, n)), at(text, crt_memchr(text, c, n)));
    }
  }
}

// memmove copies overlapping spans either way as if through a buffer; memset and memcpy fill
// exactly n bytes.
TEST(CrtText, CopiesAndFillsExactlyTheirSpan) {
  struct Move {
    size_t to, from, n;
  } moves[] = {{0, 3, 7}, {3, 0, 7}, {2, 2, 5}, {0, 9, 1}, {5, 0, 0}};
  for (const Move &move : moves) {
    char ours[] = "0123456789", theirs[] = "0123456789";
    crt_memmove(ours + move.to, ours + move.from, move.n);
    memmove(theirs + move.to, theirs + move.from, move.n);
    EXPECT_STREQ(theirs, ours) << move.to << " " << move.from << " " << move.n;
  }
  char block[8] = "abcdefg";
  EXPECT_EQ(block + 1, crt_memset(block + 1, 'x', 3));
  EXPECT_STREQ("axxxefg", block);
  EXPECT_EQ(block, crt_memcpy(block, "12", 2));
  EXPECT_STREQ("12xxefg", block);
}

}  // namespace
