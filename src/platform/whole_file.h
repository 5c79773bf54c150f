// Reading a file whole, and replacing one so that a failure never leaves it half written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen::platform {

struct FileContents {
  enum class Status { Read, Missing, Unreadable, TooLarge };
  Status status = Status::Missing;
  std::string bytes;  // the whole file when status is Read, else empty
};

// A file larger than maxBytes is not read at all (TooLarge).
FileContents ReadWholeFile(const std::string& path, uint64_t maxBytes = UINT64_MAX);

// Writes bytes to a new file beside path, flushes it to disk and renames it over path,
// so that either the previous file or the complete new one stands, never a mix. A
// symbolic link at path is followed; an existing file keeps its permission bits.
// Returns false, leaving path untouched and no temporary file behind, when any step fails.
// Where no file may be made beside it (a read-only folder) but the file itself is
// writable, it is rewritten in place instead: not atomic, but nothing is lost.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Writes bytes to a new file of the given permission bits beside path and renames it over
// path, unsynced: readers see the old file or the whole new one, never part of it, but a
// crash may lose it. For caches, whose entries are made again when they are missing.
bool PublishFile(const std::string& path, std::string_view bytes, unsigned mode);

// Creates or truncates the file and writes the bytes; false when any write or the close
// fails (a full disk), the file then left as far as it got. Not synced: for output files.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace lumen::platform
