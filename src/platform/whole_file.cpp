#include "platform/whole_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumen::platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now so that a failing close (a late write error on some file systems) is seen.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a write to path really changes: the target of a symbolic link.
std::string ResolveLink(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// A folder the user may not write to can still hold a file they may (a shared install):
// Windows would write that file in place, so this does too, whole, flushed and synced.
// Only an existing regular file is rewritten; opening never waits (a FIFO fails at once).
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
  int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  FileDescriptor file(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  return file.Close() && ok;
}

// A name beside path that no other writer, in this process or another, uses at once.
std::string TemporaryBeside(const std::string& path) {
  static std::atomic<unsigned> serial{0};
  return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial.fetch_add(1));
}

}  // namespace

OpenedFile::OpenedFile(const std::string& path, uint64_t maxBytes) {
  do {
    // Non-blocking: a FIFO (or a device) in a file's place must not hang the program; only
    // a regular file is kept open below.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    status_ = errno == ENOENT ? FileContents::Status::Missing : FileContents::Status::Unreadable;
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    status_ = FileContents::Status::Unreadable;
  } else if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    status_ = FileContents::Status::TooLarge;
  } else {
    status_ = FileContents::Status::Read;
    size_ = static_cast<uint64_t>(st.st_size);
    return;
  }
  ::close(fd_);
  fd_ = -1;
}

OpenedFile::~OpenedFile() {
  if (fd_ >= 0) ::close(fd_);
}

OpenedFile::OpenedFile(OpenedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), status_(other.status_) {}

int64_t OpenedFile::ReadAt(uint64_t offset, void* buffer, size_t count) const {
  if (fd_ < 0) return -1;
  ssize_t n;
  do {
    n = ::pread(fd_, buffer, count, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  return n;
}

int64_t FileCursor::Read(void* into, size_t count) {
  const int64_t n = file_.ReadAt(static_cast<uint64_t>(at_), into, count);
  if (n > 0) at_ += n;
  return n;
}

int64_t FileCursor::Seek(int64_t offset, int whence) {
  const int64_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? at_ : static_cast<int64_t>(file_.Size());
  if ((whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) || from + offset < 0) return -1;
  return at_ = from + offset;
}

FileContents OpenedFile::ReadAll(uint64_t maxBytes) const {
  FileContents result;
  result.status = status_;
  if (status_ != FileContents::Status::Read) return result;
  // Straight into a buffer of the file's size (one more byte to see the end at once); a
  // file that grows meanwhile is read on in steps, up to maxBytes.
  size_t used = 0;
  result.bytes.resize(size_ > 0 ? static_cast<size_t>(size_) + 1 : 8192);
  for (;;) {
    if (used == result.bytes.size()) result.bytes.resize(result.bytes.size() * 2);
    const int64_t n = ReadAt(used, result.bytes.data() + used, result.bytes.size() - used);
    if (n < 0 || used + static_cast<uint64_t>(n) > maxBytes) {
      result.bytes.clear();
      result.status = n < 0 ? FileContents::Status::Unreadable : FileContents::Status::TooLarge;
      return result;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  result.bytes.resize(used);
  return result;
}

FileContents ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  return OpenedFile(path, maxBytes).ReadAll(maxBytes);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveLink(path);
  const std::string temp = TemporaryBeside(target);

  // 0666 under the umask, as any new file; an existing file's own bits are copied below.
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return (errno == EACCES || errno == EPERM) && RewriteInPlace(target, bytes);
  FileDescriptor file(fd);

  struct stat old {};
  bool ok = true;
  if (::stat(target.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = file.Close() && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here cannot undo it, so it is not reported.
  int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool PublishFile(const std::string& path, std::string_view bytes, unsigned mode) {
  const std::string temp = TemporaryBeside(path);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return false;
  FileDescriptor file(fd);
  bool ok = WriteAll(fd, bytes);
  ok = file.Close() && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  // A new file rather than the old one truncated: ext4 writes a truncated and rewritten
  // file out to disk when it is closed (its guard for programs that do not sync), which
  // made rewriting 20,000 small files take half again as long.
  ::unlink(path.c_str());
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  FileDescriptor file(fd);
  const bool written = WriteAll(fd, bytes);
  return file.Close() && written;
}

}  // namespace lumen::platform
