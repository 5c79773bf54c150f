#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace lumen::platform {
namespace {

TEST(Cp932, ConvertsTheCharactersShiftJisLacksAndHalfWidthKanaAsSingleBytes) {
  // Bytes from the code page 932 table: ～ 81 60, ① 87 40, ﾌｫﾙﾀﾞ CC AB D9 C0 DE, ー 81 5B.
  const std::string bytes = "\x81\x60\x87\x40\xCC\xAB\xD9\xC0\xDE\x81\x5B";
  EXPECT_EQ(Utf8ToCp932("～①ﾌｫﾙﾀﾞー"), bytes);
  EXPECT_EQ(Cp932ToUtf8(bytes), "～①ﾌｫﾙﾀﾞー");
  // 0x5C is a backslash in Windows files, also as the second byte of 表 (95 5C).
  EXPECT_EQ(Utf8ToCp932("C:\\表"), "C:\\\x95\x5C");
}

TEST(Cp932, RefusesTextItCannotHoldExactly) {
  EXPECT_EQ(Utf8ToCp932("/home/Café"), std::nullopt);
  EXPECT_EQ(Utf8ToCp932("/photos/\xF0\x9F\x98\x80"), std::nullopt);  // an emoji
  EXPECT_EQ(Utf8ToCp932("/bad\xFFname"), std::nullopt);              // not UTF-8
  EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(Cp932, ReadsDamagedBytesWithReplacementCharacters) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");         // cut two-byte character
  EXPECT_EQ(Cp932ToUtf8("\xFD" "b"), "\xEF\xBF\xBD" "b");  // byte that starts nothing
}

}  // namespace
}  // namespace lumen::platform
