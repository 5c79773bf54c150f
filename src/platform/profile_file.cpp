#include "platform/profile_file.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/cp932.h"
#include "platform/whole_file.h"

namespace lumen::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Case-insensitive for ASCII letters only. The second byte of a two-byte character is
// compared exactly: folding it would make ア (83 41) equal ヂ (83 61).
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// The name of a "[name]" header line, or nothing when the line is no header.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  size_t i = 0;
  while (i < line.size() && line[i] != ']') {
    i += IsCp932LeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
  }
  return Trim(line.substr(0, std::min(i, line.size())));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  // '=' is never the second byte of a two-byte character, so a plain search is safe.
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  KeyLine parsed{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
  std::string_view& v = parsed.value;
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return parsed;
}

}  // namespace

ProfileDocument::ProfileDocument(std::string_view bytes) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines_.push_back({std::string(bytes.substr(start)), ""});
      break;
    }
    size_t endLength = (bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n') ? 2 : 1;
    lines_.push_back({std::string(bytes.substr(start, stop - start)),
                      std::string(bytes.substr(stop, endLength))});
    start = stop + endLength;
  }
}

size_t ProfileDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    auto name = HeaderName(lines_[i].text);
    if (name && NamesEqual(*name, section)) return i;
  }
  return lines_.size();
}

size_t ProfileDocument::SectionEnd(size_t sectionLine) const {
  size_t i = sectionLine + 1;
  while (i < lines_.size() && !HeaderName(lines_[i].text)) ++i;
  return i;
}

size_t ProfileDocument::FindKey(size_t sectionLine, std::string_view key) const {
  size_t end = SectionEnd(sectionLine);
  for (size_t i = sectionLine + 1; i < end; ++i) {
    auto parsed = ParseKeyLine(lines_[i].text);
    if (parsed && NamesEqual(parsed->key, key)) return i;
  }
  return lines_.size();
}

std::optional<std::string> ProfileDocument::Get(std::string_view section,
                                                std::string_view key) const {
  size_t header = FindSection(section);
  if (header == lines_.size()) return std::nullopt;
  size_t line = FindKey(header, key);
  if (line == lines_.size()) return std::nullopt;
  return std::string(ParseKeyLine(lines_[line].text)->value);
}

void ProfileDocument::EnsureLineEnd(size_t line) {
  if (lines_[line].end.empty()) lines_[line].end = "\r\n";
}

void ProfileDocument::Set(std::string_view section, std::string_view key,
                          std::string_view value) {
  std::string keyLine = std::string(key) + "=" + std::string(value);
  size_t header = FindSection(section);
  if (header == lines_.size()) {
    if (!lines_.empty()) EnsureLineEnd(lines_.size() - 1);
    lines_.push_back({"[" + std::string(section) + "]", "\r\n"});
    lines_.push_back({std::move(keyLine), "\r\n"});
    return;
  }
  size_t existing = FindKey(header, key);
  if (existing != lines_.size()) {
    lines_[existing].text = std::move(keyLine);
    return;
  }
  // After the section's last non-blank line, so blank lines that separate it from the
  // next section stay where they are.
  size_t last = header;
  for (size_t i = header + 1; i < SectionEnd(header); ++i) {
    if (!Trim(lines_[i].text).empty()) last = i;
  }
  EnsureLineEnd(last);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                Line{std::move(keyLine), "\r\n"});
}

std::string ProfileDocument::Serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.end;
  }
  return out;
}

std::string_view CutCp932(std::string_view bytes, size_t maxBytes) {
  if (bytes.size() <= maxBytes) return bytes;
  size_t i = 0;
  while (i < maxBytes) {
    size_t width = IsCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    if (i + width > maxBytes) break;
    i += width;
  }
  return bytes.substr(0, i);
}

FileContents ReadProfileFile(const std::string& fileName) {
  FileContents file = ReadWholeFile(fileName, kMaxProfileBytes);
  if (file.status == FileContents::Status::Missing) file.status = FileContents::Status::Read;  // empty
  return file;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, size_t bufferSize,
                                    const std::string& fileName) {
  FileContents file = ReadProfileFile(fileName);
  const ProfileDocument document(file.status == FileContents::Status::Read ? file.bytes : std::string());
  return GetPrivateProfileString(section, key, defaultValue, bufferSize, document);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, size_t bufferSize,
                                    const ProfileDocument& document) {
  if (bufferSize == 0) return {};
  const std::optional<std::string> value = document.Get(section, key);
  std::string_view text = value ? std::string_view(*value) : defaultValue;
  text = text.substr(0, text.find('\0'));
  return std::string(CutCp932(text, bufferSize - 1));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName) {
  FileContents file = ReadProfileFile(fileName);
  if (file.status != FileContents::Status::Read) return false;
  ProfileDocument document(file.bytes);
  document.Set(section, key, value);
  return ReplaceFileAtomically(fileName, document.Serialize());
}

}  // namespace lumen::platform
