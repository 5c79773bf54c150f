#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lumen::platform {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

struct ReadCase {
  const char* why;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

TEST(ProfileDocument, ReadsAsWindowsDoes) {
  const ReadCase cases[] = {
      {"names ignore ASCII case", "[SECTION]\r\nKey=v\r\n", "section", "KEY", "v"},
      {"blanks around names and values", "  [ Section ]  \n \tKey \t= \t v w \t\n", "Section", "Key", "v w"},
      {"matching double quotes", "[S]\nk=\" v \"\n", "S", "k", " v "},
      {"matching single quotes", "[S]\nk='v'\n", "S", "k", "v"},
      {"unmatched quotes stay", "[S]\nk=\"v'\n", "S", "k", "\"v'"},
      {"a lone quote stays", "[S]\nk=\"\n", "S", "k", "\""},
      {"first section wins", "[S]\na=1\n[S]\na=2\nb=3\n", "S", "b", std::nullopt},
      {"first key wins", "[S]\na=1\na=2\n", "S", "a", "1"},
      {"a line without = is no key", "[S]\na\n", "S", "a", std::nullopt},
      {"keys before any section belong to none", "a=1\n[S]\n", "S", "a", std::nullopt},
      {"another section's key", "[S]\n[T]\na=1\n", "S", "a", std::nullopt},
      {"CR line ends", "[S]\ra=1\rb=2", "S", "b", "2"},
      {"mixed line ends", "[S]\r\na=1\nb=2\rc=3", "S", "c", "3"},
      {"empty value", "[S]\na=\n", "S", "a", ""},
      {"value keeps later =", "[S]\na=b=c\n", "S", "a", "b=c"},
      // ア is 83 41 and ヂ 83 61: folding the second byte would make them one key.
      {"second bytes compare exactly", "[S]\n\x83\x41=1\n", "S", "\x83\x61", std::nullopt},
      {"two-byte names match themselves", "[S]\n\x83\x41=1\n", "S", "\x83\x41", "1"},
      // ] as the second byte of a two-byte character does not close the header (81 5D).
      {"] inside a two-byte character", "[\x81\x5Dx]\na=1\n", "\x81\x5Dx", "a", "1"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ProfileDocument(c.file).Get(c.section, c.key), c.expected);
  }
}

struct WriteCase {
  const char* why;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(ProfileDocument, WritesKeepingEveryOtherByte) {
  const WriteCase cases[] = {
      {"empty file", "", "S", "k", " 1", "[S]\r\nk= 1\r\n"},
      {"new section at the end, after a last line without line end", "; c\n[T]\nx=1", "S", "k", "v",
       "; c\n[T]\nx=1\r\n[S]\r\nk=v\r\n"},
      {"new key after the section's last non-blank line", "[S]\na=1\n; note\n\n\n[T]\n", "S", "k", "v",
       "[S]\na=1\n; note\nk=v\r\n\n\n[T]\n"},
      {"new key in an empty section at the end", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"existing key replaced in place, its line end kept", "[s]\n  K = old \n; k=not me\n", "S", "k", "new",
       "[s]\nk=new\n; k=not me\n"},
      {"only the first of two equal keys", "[S]\rk=1\rk=2\r", "S", "k", "3", "[S]\rk=3\rk=2\r"},
      {"only the first of two equal sections", "[S]\n[S]\nk=1\n", "S", "k", "2", "[S]\nk=2\r\n[S]\nk=1\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.why);
    ProfileDocument document(c.before);
    document.Set(c.section, c.key, c.value);
    EXPECT_EQ(document.Serialize(), c.after);
  }
}

TEST(ProfileFile, ValueIsCutAsByA256ByteBuffer) {
  TempFolder folder;
  const std::string ini = folder / "a.ini";
  const std::string ka = "\x83\x4A";  // カ
  WriteBytes(ini, "[S]\nlong=" + std::string(300, 'x') + "\nkana=" + std::string(254, 'y') + ka +
                      "\nnul=ab" + std::string(1, '\0') + "cd\n");
  EXPECT_EQ(GetPrivateProfileString("S", "long", "", 256, ini), std::string(255, 'x'));
  // The 255th byte would be the first half of カ: it is dropped, not left dangling.
  EXPECT_EQ(GetPrivateProfileString("S", "kana", "", 256, ini), std::string(254, 'y'));
  EXPECT_EQ(GetPrivateProfileString("S", "kana", "", 257, ini), std::string(254, 'y') + ka);
  EXPECT_EQ(GetPrivateProfileString("S", "nul", "", 256, ini), "ab");
  EXPECT_EQ(GetPrivateProfileString("S", "none", "dflt", 256, ini), "dflt");
  EXPECT_EQ(GetPrivateProfileString("S", "long", "dflt", 256, folder / "missing.ini"), "dflt");
}

TEST(ProfileFile, WritingCreatesTheFileAndKeepsForeignLines) {
  TempFolder folder;
  const std::string ini = folder / "a.ini";
  ASSERT_TRUE(WritePrivateProfileString("Section", "k", " 1", ini));
  EXPECT_EQ(ReadBytes(ini), "[Section]\r\nk= 1\r\n");

  WriteBytes(ini, ";c\n[Section]\nk=1\nother=2\n");
  ASSERT_TRUE(WritePrivateProfileString("Section", "K", "9", ini));
  EXPECT_EQ(ReadBytes(ini), ";c\n[Section]\nK=9\nother=2\n");

  // Larger than any settings file: read as missing, and never written over.
  const std::string huge = "[Section]\nk=1\n" + std::string(1 << 20, ';');
  WriteBytes(ini, huge);
  EXPECT_EQ(GetPrivateProfileString("Section", "k", "default", 256, ini), "default");
  EXPECT_FALSE(WritePrivateProfileString("Section", "k", "2", ini));
  EXPECT_EQ(ReadBytes(ini), huge);
}

}  // namespace
}  // namespace lumen::platform
