#include "model/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>

#include "model/LockedFile.h"
#include "model/SaveJournal.h"

namespace {

constexpr int CleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The temporary files being written, for the signal handler: it may only read a
// pointer and unlink. A writer that finds no free slot still works, uncleaned.
std::atomic<const char*> Pending[16];
static_assert(std::atomic<const char*>::is_always_lock_free);

extern "C" void RemovePendingOnSignal(int sig) {
  for (auto& slot : Pending)
    if (const char* path = slot.load()) ::unlink(path);
  // SA_RESETHAND put the default action back: the signal now ends the process.
  ::raise(sig);
}

void Register(const char* path) {
  for (auto& slot : Pending) {
    const char* none = nullptr;
    if (slot.compare_exchange_strong(none, path)) return;
  }
}

void Unregister(const char* path) {
  for (auto& slot : Pending) {
    const char* mine = path;
    if (slot.compare_exchange_strong(mine, nullptr)) return;
  }
}

bool IsPending(const std::string& path) {
  for (auto& slot : Pending)
    if (const char* p = slot.load(); p && path == p) return true;
  return false;
}

// Defers the cleaned signals over the few steps an interrupt must not split.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int sig : CleanedSignals) sigaddset(&held, sig);
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_{};
};

// Follows links to the file the chain ends at, which need not exist.
int ResolveLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    char link[4096];
    const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
    if (n < 0) return errno;
    if (n == 0) return ENOENT;
    if (std::size_t(n) == sizeof link) return ENAMETOOLONG;
    std::string next = link[0] == '/' ? std::string() : FolderOf(path) + "/";
    path = next.append(link, std::size_t(n));
  }
  return ELOOP;
}

constexpr char TempPrefix[] = ".kobaltine-", TempSuffix[] = ".tmp";
constexpr std::size_t TempDigits = 12;

bool IsTemporaryName(const char* name) {
  const std::size_t prefix = sizeof TempPrefix - 1, suffix = sizeof TempSuffix - 1;
  if (std::strlen(name) != prefix + TempDigits + suffix ||
      std::strncmp(name, TempPrefix, prefix) != 0 ||
      std::strcmp(name + prefix + TempDigits, TempSuffix) != 0)
    return false;
  for (std::size_t i = prefix; i < prefix + TempDigits; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// Removes the temporary files that killed writers left in folder: each is held locked
// by its writer for as long as it lives. Ours are skipped too, for file systems whose
// locks do not keep the processes' own descriptors apart.
void SweepTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    const std::string path = folder + "/" + entry->d_name;
    if (!IsPending(path)) RemoveIfUnlocked(path);
  }
  ::closedir(dir);
}

// A fresh name beside the target, created exclusively so no other file is touched, and
// locked so that no sweeper takes it.
int CreateTemporary(const std::string& folder, mode_t mode, std::string& temp, int& fd) {
  static std::atomic<std::uint64_t> serial{0};
  std::mt19937_64 rng(std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      std::uint64_t(::getpid()) << 40 ^ serial.fetch_add(0x9E3779B97F4A7C15u));
  static constexpr char hex[] = "0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::uint64_t r = rng();
    temp = folder + "/" + TempPrefix;
    for (std::size_t i = 0; i < TempDigits; ++i, r >>= 4) temp += hex[r & 15];
    temp += TempSuffix;
    const int e = CreateLockedFile(temp, mode, fd);
    if (e != EEXIST) return e;
  }
  return EEXIST;
}

// Errors that mean the folder takes no new file, while its files may still be written.
bool FolderRefuses(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ENOSPC || error == EDQUOT;
}

}  // namespace

SafeFileWriter::SafeFileWriter(const std::string& path) : target_(path) {
  if (path.empty()) {
    error_ = ENOENT;
    return;
  }
  if ((error_ = ResolveLinks(target_)) != 0) return;
  RecoverInterruptedSave(path);  // named as the caller named it, in a notice
  int targetFd = -1;
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    // Only plain files: a device or a pipe is never replaced by one.
    if (!S_ISREG(st.st_mode)) {
      error_ = S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP;
      return;
    }
    // Read too, for the journal should the save be in place.
    constexpr int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    targetFd = ::open(target_.c_str(), O_RDWR | flags);
    readable_ = targetFd >= 0;
    if (targetFd < 0 && errno == EACCES) targetFd = ::open(target_.c_str(), O_WRONLY | flags);
    if (targetFd < 0) {
      error_ = errno;  // a read-only file stays protected
      return;
    }
    existed_ = true;
    mode_ = st.st_mode & 07777;
    uid_ = st.st_uid;
    gid_ = st.st_gid;
  } else if (errno != ENOENT) {
    error_ = errno;
    return;
  }

  const std::string folder = FolderOf(target_);
  SweepTemporaries(folder);
  int e = EACCES;
  if (!(existed_ && SaveTesting::ForceInPlace)) {
    SignalsHeld held;
    // Only the owner reads a replacement while it is written; Commit gives it the mode.
    e = CreateTemporary(folder, existed_ ? 0600 : 0666, temp_, fd_);
    // The lock must outlive the descriptor that Commit closes before the rename.
    if (e == 0 && (lock_ = ::dup(fd_)) < 0) {
      e = errno;
      ::unlink(temp_.c_str());
      ::close(fd_);
      fd_ = -1;
    }
    if (e == 0) Register(temp_.c_str());
  }
  if (e == 0) {
    if (targetFd >= 0) ::close(targetFd);
    return;
  }
  temp_.clear();
  if (targetFd >= 0 && FolderRefuses(e)) {
    fd_ = targetFd;
    inPlace_ = true;
    return;
  }
  if (targetFd >= 0) ::close(targetFd);
  error_ = e;
}

SafeFileWriter::~SafeFileWriter() {
  if (!done_) Release();
}

bool SafeFileWriter::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (error_ != 0 || done_) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (offset > std::uint64_t(std::numeric_limits<off_t>::max()) - size) {
    error_ = EFBIG;
    return false;
  }
  if (inPlace_) {
    try {
      if (buffer_.size() < offset + size) buffer_.resize(offset + size);
    } catch (const std::bad_alloc&) {
      error_ = ENOMEM;
    } catch (const std::length_error&) {
      error_ = EFBIG;
    }
    if (error_ != 0) return false;
    if (size > 0) std::memcpy(buffer_.data() + offset, bytes, size);
  } else if ((error_ = WriteAllAt(fd_, bytes, size, offset)) != 0) {
    return false;
  }
  if (offset + size > length_) length_ = offset + size;
  return true;
}

FileResult SafeFileWriter::Commit() {
  if (done_) return {false, EINVAL};
  if (error_ == 0) error_ = inPlace_ ? WriteInPlace() : ReplaceTarget();
  Release();
  done_ = true;
  return {error_ == 0, error_};
}

int SafeFileWriter::ReplaceTarget() {
  if (existed_) {
    // Someone else's file becomes ours, as a new one would, but keeps its group where
    // we belong to it.
    if (::fchown(fd_, uid_, gid_) != 0 && ::fchown(fd_, uid_t(-1), gid_) != 0) {
    }
    if (::fchmod(fd_, mode_t(mode_)) != 0) return errno;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return errno;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return errno;
  renamed_ = true;
  return 0;
}

int SafeFileWriter::WriteInPlace() {
  using SaveTesting::Reached, SaveTesting::Step;
  const std::uint64_t size = buffer_.size();
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return errno;
  // Not a byte of the file changes before its old content is safe in the journal.
  if (!readable_) return JournalFailure | EACCES;
  SaveJournal journal;
  if (const int e = journal.Begin(target_, fd_, size, ContentHash(buffer_.data(), buffer_.size())))
    return JournalFailure | e;
  Reached(Step::JournalWritten);
  if (size > std::uint64_t(st.st_size)) {
    const int e = ::posix_fallocate(fd_, 0, off_t(size));
    if (e == ENOSPC || e == EDQUOT || e == EFBIG) {
      // The content is untouched; only the length may have grown.
      if (::ftruncate(fd_, st.st_size) == 0)
        journal.Remove();
      else
        journal.Undo(fd_);
      return e;
    }
  }
  {
    // An interrupt waits until the content is whole again.
    SignalsHeld held;
    const std::size_t half = buffer_.size() / 2;
    int e = WriteAllAt(fd_, buffer_.data(), half, 0);
    if (e == 0) Reached(Step::TargetHalfWritten);
    if (e == 0) e = WriteAllAt(fd_, buffer_.data() + half, buffer_.size() - half, half);
    if (e == 0 && ::ftruncate(fd_, off_t(size)) != 0) e = errno;
    if (e == 0 && ::fsync(fd_) != 0) e = errno;
    if (e != 0) {
      // Should the old content not go back either, the journal stays for the next open.
      journal.Undo(fd_);
      return e;
    }
  }
  Reached(Step::TargetWritten);
  journal.Remove();
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) != 0 ? errno : 0;
}

void SafeFileWriter::Release() {
  // The name goes while its lock is still held, so that no sweeper meets it unlocked.
  if (!temp_.empty() && !renamed_) ::unlink(temp_.c_str());
  if (fd_ >= 0) ::close(fd_);
  if (lock_ >= 0) ::close(lock_);
  fd_ = lock_ = -1;
  if (!temp_.empty()) Unregister(temp_.c_str());
  buffer_ = {};
}

std::string FileErrorText(int error) {
  const std::string cause = std::strerror(error & ~JournalFailure);
  return error & JournalFailure ? "no journal could be written: " + cause : cause;
}

FileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
  SafeFileWriter out(path);
  out.Write(data, size);
  return out.Commit();
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemovePendingOnSignal;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int sig : CleanedSignals) sigaddset(&action.sa_mask, sig);
  for (int sig : CleanedSignals) {
    struct sigaction current {};
    if (::sigaction(sig, nullptr, &current) != 0) continue;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL)
      ::sigaction(sig, &action, nullptr);
  }
}
