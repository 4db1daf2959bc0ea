#include "model/LockedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when path still names the file open as fd.
bool PathNames(const std::string& path, int fd) {
  struct stat byPath {};
  struct stat byFd {};
  return ::lstat(path.c_str(), &byPath) == 0 && ::fstat(fd, &byFd) == 0 && SameFile(byPath, byFd);
}

}  // namespace

int CreateLockedFile(const std::string& path, mode_t mode, int& fd) {
  fd = -1;
  // Between the creation and the lock a sweeper may find the file unlocked and remove
  // it; it then names nothing or another file, and the name is taken or free again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int f = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (f < 0) return errno;
    // A file system without locks gets the file unlocked: no sweeper can lock it either.
    const bool held = ::flock(f, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (!held && PathNames(path, f)) {
      fd = f;
      return 0;
    }
    // A sweeper holds it or has removed it; the sweeper removes it: never ours to unlink.
    ::close(f);
  }
  return EEXIST;
}

int LockIfUnlocked(const std::string& path, bool lockless) {
  const int f = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (f < 0) return -1;
  struct stat st {};
  bool mine = ::fstat(f, &st) == 0 && S_ISREG(st.st_mode);
  if (mine && ::flock(f, LOCK_EX | LOCK_NB) != 0) mine = errno != EWOULDBLOCK && lockless;
  // The creator may have lost it to another sweeper, and the name be taken again since.
  if (mine && PathNames(path, f)) return f;
  ::close(f);
  return -1;
}

bool RemoveIfUnlocked(const std::string& path) {
  const int f = LockIfUnlocked(path, false);
  if (f < 0) return false;
  const bool removed = ::unlink(path.c_str()) == 0;
  ::close(f);  // only now may the name's next file be locked
  return removed;
}

int WriteAllAt(int fd, const void* data, std::size_t n, std::uint64_t offset) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (n > 0) {
    const ssize_t w = ::pwrite(fd, bytes, n, off_t(offset));
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return errno;
    if (w == 0) return EIO;
    bytes += w;
    n -= std::size_t(w);
    offset += std::uint64_t(w);
  }
  return 0;
}

int ReadAllAt(int fd, void* data, std::size_t n, std::uint64_t offset) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (n > 0) {
    const ssize_t r = ::pread(fd, bytes, n, off_t(offset));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    if (r == 0) return EIO;
    bytes += r;
    n -= std::size_t(r);
    offset += std::uint64_t(r);
  }
  return 0;
}

int SyncFolder(const std::string& folder) {
  const int f = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (f < 0) return errno;
  const int e = ::fsync(f) == 0 ? 0 : errno;
  ::close(f);
  // Some file systems cannot flush a folder; their metadata is then as safe as it gets.
  return e == EINVAL || e == EROFS ? 0 : e;
}

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
}
