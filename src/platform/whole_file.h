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

// A regular file open for reading, closed with the object. Opening never waits (a FIFO
// or a device in the file's place is Unreadable at once).
class OpenedFile {
 public:
  // Status Read when it is open; a file larger than maxBytes is not opened (TooLarge).
  OpenedFile(const std::string& path, uint64_t maxBytes);
  ~OpenedFile();
  OpenedFile(OpenedFile&& other) noexcept;
  OpenedFile& operator=(OpenedFile&&) = delete;
  OpenedFile(const OpenedFile&) = delete;

  FileContents::Status Status() const { return status_; }
  uint64_t Size() const { return size_; }  // when it was opened
  // Up to `count` bytes from `offset`, as many as there are: 0 at the end, -1 on an error.
  // Safe from several threads at once.
  int64_t ReadAt(uint64_t offset, void* buffer, size_t count) const;
  // The whole file (at most maxBytes, else TooLarge, nothing read).
  FileContents ReadAll(uint64_t maxBytes) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
  FileContents::Status status_ = FileContents::Status::Missing;
};

// An OpenedFile read from a place of its own that moves on: what libraries reading through
// callbacks (FFmpeg, SDL_mixer) are given, so that they never open a file by its name.
class FileCursor {
 public:
  explicit FileCursor(OpenedFile file) : file_(std::move(file)) {}
  const OpenedFile& File() const { return file_; }
  // Up to `count` bytes from the place, which moves past them: 0 at the end, -1 on an error.
  int64_t Read(void* into, size_t count);
  // From the start, the place or the end (SEEK_SET, SEEK_CUR, SEEK_END): the new place, or
  // -1 (the place unchanged) before the start or for another `whence`.
  int64_t Seek(int64_t offset, int whence);

 private:
  OpenedFile file_;
  int64_t at_ = 0;
};

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

// Writes the bytes to a new file at path, replacing whatever was there (a symbolic link
// itself, not what it points to); false when any write or the close fails (a full disk),
// the file then left as far as it got. Not synced: for output files.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace lumen::platform
