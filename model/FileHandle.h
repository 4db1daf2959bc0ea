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
// A save of the file that was cut short is undone first (RecoverInterruptedSave).
FileHandle OpenForReading(const std::string& path, std::int64_t& size, int& cause);
