// Profile (INI) files as Windows reads and writes them, on raw bytes (code page 932 on
// disk; this layer does not convert text).
//
// Reading: section and key names match without regard to ASCII letter case (the second
// byte of a two-byte character is compared exactly); blanks around names and values are
// trimmed; a value wrapped in matching quotes loses them; the first matching section and
// the first matching key in it win; lines without "=" are no keys; CRLF, LF and CR all
// end a line.
//
// Writing: an existing key's line is replaced in place, keeping its line end; a new key
// goes after the last non-blank line of its section; a new section goes at the end of
// the file; new lines end in CRLF. Every other line is kept byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/whole_file.h"

namespace lumen::platform {

// A settings file is a few hundred bytes; one over this is no settings file of ours: it
// is read as missing and never written over.
inline constexpr uint64_t kMaxProfileBytes = 1 << 20;

// The profile file's bytes as far as they may be kept and rewritten: Read (possibly
// missing, then empty), or a status saying why not.
FileContents ReadProfileFile(const std::string& fileName);

class ProfileDocument {
 public:
  ProfileDocument() = default;
  explicit ProfileDocument(std::string_view bytes);

  // The value of the key, after trimming and unquoting, or nothing when the section
  // or the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets the key's value as given (no quoting): the line becomes key "=" value.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r", or empty on a last line without one
  };
  // Index of the first header line of the section, or lines_.size().
  size_t FindSection(std::string_view section) const;
  // Index of the first line of the section's key, searching the lines after the header
  // at sectionLine up to the next header; or lines_.size().
  size_t FindKey(size_t sectionLine, std::string_view key) const;
  size_t SectionEnd(size_t sectionLine) const;
  void EnsureLineEnd(size_t line);

  std::vector<Line> lines_;
};

// GetPrivateProfileString: the value, or defaultValue when the file, the section or the
// key is missing; cut, as by a bufferSize-byte buffer holding a terminating NUL, to at
// most bufferSize - 1 bytes and to the first NUL. A cut never leaves half a two-byte
// character: its dangling first byte is dropped.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, size_t bufferSize,
                                    const std::string& fileName);
// The same from a file read once (an unreadable or missing file: an empty document).
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, size_t bufferSize,
                                    const ProfileDocument& document);

// WritePrivateProfileString: creates the file and the section when needed. The file is
// replaced atomically. Returns false, leaving the file as it was, when it exists but
// cannot be read (or is larger than kMaxProfileBytes) or the new contents cannot be
// written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName);

// Cuts raw bytes to at most maxBytes, never in the middle of a two-byte character.
std::string_view CutCp932(std::string_view bytes, size_t maxBytes);

}  // namespace lumen::platform
