#pragma once
// Owns a file descriptor so that every path out of a reader closes it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Opens a file for reading as every reader does. Non-blocking, so that naming a FIFO
// cannot hang the program: anything but a regular file then reads as empty (size 0).
// A folder is refused (EISDIR). On failure the handle holds -1 and cause the reason.
inline FileHandle OpenForReading(const std::string& path, std::int64_t& size, int& cause) {
  size = 0;
  cause = 0;
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    cause = errno;
    return file;
  }
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) {
    cause = S_ISDIR(st.st_mode) ? EISDIR : errno;
    return FileHandle(-1);  // the opened descriptor closes with file
  }
  if (S_ISREG(st.st_mode)) size = std::int64_t(st.st_size);
  return file;
}
