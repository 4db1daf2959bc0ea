#include "tools/ReplaceFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// The temporary file being written, for the signal handler; empty when there is none.
char PendingTemp[PATH_MAX + 32];

extern "C" void RemovePendingTemp(int sig) {
  if (PendingTemp[0] != '\0') ::unlink(PendingTemp);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

constexpr int CleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// While it lives, an interrupt removes the temporary file before the process dies.
class TempGuard {
 public:
  explicit TempGuard(const std::string& path) {
    std::memcpy(PendingTemp, path.c_str(), path.size() + 1);
    struct sigaction action {};
    action.sa_handler = RemovePendingTemp;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(CleanedSignals); ++i)
      ::sigaction(CleanedSignals[i], &action, &previous_[i]);
  }
  ~TempGuard() {
    for (std::size_t i = 0; i < std::size(CleanedSignals); ++i)
      ::sigaction(CleanedSignals[i], &previous_[i], nullptr);
    PendingTemp[0] = '\0';
  }
  TempGuard(const TempGuard&) = delete;
  TempGuard& operator=(const TempGuard&) = delete;

 private:
  struct sigaction previous_[std::size(CleanedSignals)]{};
};

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= std::size_t(n);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const void* data, std::size_t size) {
  if (path.empty()) return false;
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  bool exists = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) return false;
    exists = true;
  }
  const std::size_t cut = target.find_last_of('/');
  const std::string dir = cut == std::string::npos ? "." : cut == 0 ? "/" : target.substr(0, cut);
  if (dir.size() + 32 > sizeof PendingTemp) return false;

  std::random_device seed;
  std::mt19937_64 rng((std::uint64_t(seed()) << 32) ^ seed() ^ std::uint64_t(::getpid()));
  static constexpr char hex[] = "0123456789abcdef";
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    std::uint64_t r = rng();
    temp = dir + "/.vxltool-";
    for (int i = 0; i < 12; ++i, r >>= 4) temp += hex[r & 15];
    temp += ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  TempGuard guard(temp);
  bool ok = WriteAll(fd, data, size);
  if (ok && exists) ok = ::fchmod(fd, st.st_mode & 07777) == 0;  // a replacement keeps the mode
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}
