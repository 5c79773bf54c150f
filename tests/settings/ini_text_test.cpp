#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace lumen::settings {
namespace {

TEST(IniText, StoresCodePage932TextAsIs) {
  EXPECT_EQ(EncodeIniText("/写真/ﾃｽﾄ"), "/\x8E\xCA\x90\x5E/\xC3\xBD\xC4");
  EXPECT_EQ(EncodeIniText("/photos/100%"), "/photos/100%");
  EXPECT_EQ(EncodeIniText("/with inner blank"), "/with inner blank");
  EXPECT_EQ(EncodeIniText(" 1"), " 1");
  EXPECT_EQ(DecodeIniText("/\x8E\xCA\x90\x5E/\xC3\xBD\xC4"), "/写真/ﾃｽﾄ");
}

TEST(IniText, EscapesWhatCodePage932CannotHoldOrWouldNotReadBack) {
  EXPECT_EQ(EncodeIniText("/home/Café"), "utf8:/home/Caf%C3%A9");
  EXPECT_EQ(EncodeIniText("/写真/Café 100%"), "utf8:/\x8E\xCA\x90\x5E/Caf%C3%A9%20100%25");
  EXPECT_EQ(EncodeIniText("/a\r\nb=1"), "utf8:/a%0D%0Ab=1");

  const std::string tricky[] = {
      "/home/Café",         "/photos/\xF0\x9F\x98\x80",  // emoji
      "/bytes/\x82\xA0\xFF",  // a Shift_JIS file name as Linux holds it: not UTF-8
      "/a\nb",              "/trailing blank ",  "/trailing tab\t",
      "\"/quoted\"",        "'/quoted'",         "utf8:/looks escaped",
      "/tab\tinside",       "utf8:%41",          "/\xE3\x81",  // cut UTF-8 at the end
  };
  for (const std::string& text : tricky) {
    SCOPED_TRACE(text);
    std::string stored = EncodeIniText(text);
    EXPECT_TRUE(stored.starts_with(kEscapedTextMarker));
    EXPECT_EQ(stored.find_first_of("\r\n\t "), std::string::npos);
    EXPECT_EQ(DecodeIniText(stored), text);
  }
  EXPECT_EQ(DecodeIniText("utf8:/tmp%00/etc"), "") << "no path holds a NUL";
}

}  // namespace
}  // namespace lumen::settings
