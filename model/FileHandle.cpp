#include "model/FileHandle.h"

#include "model/SaveJournal.h"

FileHandle OpenForReading(const std::string& path, std::int64_t& size, int& cause) {
  size = 0;
  cause = 0;
  RecoverInterruptedSave(path);
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
