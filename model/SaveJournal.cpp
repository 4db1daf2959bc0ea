#include "model/SaveJournal.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/LockedFile.h"

namespace {

constexpr char Magic[8] = {'K', 'B', 'L', 'J', 'R', 'N', 'L', '1'};

// Written in the machine's own byte order: a journal never leaves the machine it was
// written on.
struct Header {
  char magic[8];
  std::uint64_t pathLength, oldLength, oldInode, newLength, newHash;
};
static_assert(sizeof(Header) == 48);

constexpr std::size_t Chunk = 1 << 20;
constexpr std::uint64_t MaxPath = 1 << 16;

void PrintNotice(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

std::atomic<JournalNoticeHook> Notice{PrintNotice};

class Closer {
 public:
  explicit Closer(int fd) : fd_(fd) {}
  ~Closer() {
    if (fd_ >= 0) ::close(fd_);
  }
  Closer(const Closer&) = delete;
  Closer& operator=(const Closer&) = delete;

 private:
  int fd_;
};

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

// Creates the missing folders of path, each only for its owner.
int MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
    const std::string prefix = path.substr(0, at);
    struct stat st {};
    if (::stat(prefix.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    } else if (!S_ISDIR(st.st_mode)) {
      return ENOTDIR;
    }
    if (at == std::string::npos) return 0;
  }
}

std::string Resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string resolved(real);
  std::free(real);
  return resolved;
}

// One journal name for each file, whatever name it was reached by.
std::string JournalPath(const std::string& folder, const std::string& resolved) {
  char name[32];
  std::snprintf(name, sizeof name, "/%016llx.journal",
                static_cast<unsigned long long>(ContentHash(resolved.data(), resolved.size())));
  return folder + name;
}

// The hash of length bytes of fd from offset, continuing from h; false on a read error.
bool HashRange(int fd, std::uint64_t offset, std::uint64_t length, std::uint64_t& h) {
  std::vector<std::uint8_t> buffer(std::size_t(std::min<std::uint64_t>(length, Chunk)));
  for (std::uint64_t done = 0; done < length;) {
    const std::size_t n = std::size_t(std::min<std::uint64_t>(length - done, Chunk));
    if (ReadAllAt(fd, buffer.data(), n, offset + done) != 0) return false;
    h = ContentHash(buffer.data(), n, h);
    done += n;
  }
  return true;
}

// Copies length bytes from one file to another, hashing them into h.
int CopyRange(int from, std::uint64_t fromAt, int to, std::uint64_t toAt, std::uint64_t length,
              std::uint64_t& h) {
  std::vector<std::uint8_t> buffer(std::size_t(std::min<std::uint64_t>(length, Chunk)));
  for (std::uint64_t done = 0; done < length;) {
    const std::size_t n = std::size_t(std::min<std::uint64_t>(length - done, Chunk));
    if (const int e = ReadAllAt(from, buffer.data(), n, fromAt + done)) return e;
    if (const int e = WriteAllAt(to, buffer.data(), n, toAt + done)) return e;
    h = ContentHash(buffer.data(), n, h);
    done += n;
  }
  return 0;
}

// The old content from the journal back into the target, flushed.
int PutBack(int journal, std::uint64_t contentAt, std::uint64_t length, int target) {
  std::uint64_t ignored = 0;
  if (const int e = CopyRange(journal, contentAt, target, 0, length, ignored)) return e;
  if (::ftruncate(target, off_t(length)) != 0) return errno;
  return ::fsync(target) == 0 ? 0 : errno;
}

struct Record {
  Header header{};
  std::string target;
  std::uint64_t contentAt = 0;
};

// False for a journal torn while it was written.
bool ReadRecord(int fd, Record& r) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || std::uint64_t(st.st_size) < sizeof(Header) + 8) return false;
  const std::uint64_t size = std::uint64_t(st.st_size);
  Header& h = r.header;
  if (ReadAllAt(fd, &h, sizeof h, 0) != 0 || std::memcmp(h.magic, Magic, sizeof Magic) != 0 ||
      h.pathLength == 0 || h.pathLength > MaxPath || h.oldLength > size ||
      sizeof h + h.pathLength + h.oldLength + 8 != size)
    return false;
  r.target.resize(std::size_t(h.pathLength));
  r.contentAt = sizeof h + h.pathLength;
  std::uint64_t hash = 0xcbf29ce484222325u, stored = 0;
  return ReadAllAt(fd, r.target.data(), r.target.size(), sizeof h) == 0 &&
         HashRange(fd, 0, size - 8, hash) && ReadAllAt(fd, &stored, 8, size - 8) == 0 &&
         hash == stored;
}

void Say(const std::string& text) {
  Notice.load()(text);
}

}  // namespace

std::uint64_t ContentHash(const void* data, std::size_t n, std::uint64_t h) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 0x100000001b3u;
  return h;
}

std::string JournalFolder() {
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
    base = state;
  } else {
    base = HomeFolder();
    if (base.empty()) return {};
    base += "/.local/state";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/kobaltine/journal";
}

JournalNoticeHook SetJournalNoticeHook(JournalNoticeHook hook) {
  return Notice.exchange(hook ? hook : PrintNotice);
}

void RecoverInterruptedSave(const std::string& path) {
  if (path.empty()) return;
  const std::string folder = JournalFolder(), resolved = Resolved(path);
  if (folder.empty() || resolved.empty()) return;
  const std::string journal = JournalPath(folder, resolved);
  const int fd = LockIfUnlocked(journal, true);
  if (fd < 0) return;  // none, or a save still running holds it
  const Closer closeJournal(fd);
  Record r;
  if (!ReadRecord(fd, r)) {
    ::unlink(journal.c_str());
    return;
  }
  if (r.target != resolved) return;  // another file's, under the same name
  const int target = ::open(resolved.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (target < 0) {
    Say(path + ": a save of this file was interrupted, and the file could not be put back (" +
        std::strerror(errno) + "); its old content is kept in " + journal);
    return;
  }
  const Closer closeTarget(target);
  struct stat st {};
  if (::fstat(target, &st) != 0 || !S_ISREG(st.st_mode) || st.st_ino != r.header.oldInode) {
    ::unlink(journal.c_str());  // replaced by another file since: nothing of it to undo
    return;
  }
  std::uint64_t hash = 0xcbf29ce484222325u;
  if (std::uint64_t(st.st_size) == r.header.newLength &&
      HashRange(target, 0, r.header.newLength, hash) && hash == r.header.newHash) {
    // Only the journal's removal was left; the new content must reach the disk first.
    if (::fsync(target) == 0) ::unlink(journal.c_str());
    return;
  }
  if (const int e = PutBack(fd, r.contentAt, r.header.oldLength, target)) {
    Say(path + ": a save of this file was interrupted, and the file could not be put back (" +
        std::strerror(e) + "); its old content is kept in " + journal);
    return;
  }
  ::unlink(journal.c_str());
  SyncFolder(folder);
  Say(path + ": a save of this file was interrupted; the file is back as it was before it");
}

SaveJournal::~SaveJournal() {
  if (fd_ >= 0) ::close(fd_);
}

int SaveJournal::Begin(const std::string& target, int targetFd, std::uint64_t newLength,
                       std::uint64_t newHash) {
  const std::string folder = JournalFolder(), resolved = Resolved(target);
  if (folder.empty()) return ENOENT;
  if (resolved.empty()) return errno;
  if (const int e = MakeFolders(folder)) return e;
  path_ = JournalPath(folder, resolved);
  int e = CreateLockedFile(path_, 0600, fd_);
  if (e == EEXIST) {
    // Left since this save began, or held by another save of the same file.
    RecoverInterruptedSave(target);
    e = CreateLockedFile(path_, 0600, fd_);
    if (e == EEXIST) e = EBUSY;
  }
  if (e != 0) return e;

  struct stat st {};
  if (::fstat(targetFd, &st) != 0) e = errno;
  Header h{};
  std::memcpy(h.magic, Magic, sizeof Magic);
  h.pathLength = resolved.size();
  h.oldLength = oldLength_ = std::uint64_t(st.st_size);
  h.oldInode = std::uint64_t(st.st_ino);
  h.newLength = newLength;
  h.newHash = newHash;
  contentAt_ = sizeof h + h.pathLength;
  std::uint64_t hash = ContentHash(&h, sizeof h);
  hash = ContentHash(resolved.data(), resolved.size(), hash);
  const std::uint64_t half = oldLength_ / 2;
  if (e == 0) e = WriteAllAt(fd_, &h, sizeof h, 0);
  if (e == 0) e = WriteAllAt(fd_, resolved.data(), resolved.size(), sizeof h);
  if (e == 0) e = CopyRange(targetFd, 0, fd_, contentAt_, half, hash);
  if (e == 0) SaveTesting::Reached(SaveTesting::Step::JournalHalfWritten);
  if (e == 0) e = CopyRange(targetFd, half, fd_, contentAt_ + half, oldLength_ - half, hash);
  if (e == 0) e = WriteAllAt(fd_, &hash, sizeof hash, contentAt_ + oldLength_);
  if (e == 0 && ::fsync(fd_) != 0) e = errno;
  if (e == 0) e = SyncFolder(folder);
  if (e != 0) Remove();
  return e;
}

void SaveJournal::Remove() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);  // the lock goes with the file's name
  fd_ = -1;
}

int SaveJournal::Undo(int targetFd) {
  if (fd_ < 0) return EBADF;
  const int e = PutBack(fd_, contentAt_, oldLength_, targetFd);
  if (e == 0) Remove();
  return e;
}
