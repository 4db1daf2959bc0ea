#pragma once
// The one way the program writes its files: no one sees a file half written, and a
// failed or interrupted write leaves the previous file as it was and nothing beside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The outcome of a write; error is the errno of the first failure, 0 when ok.
struct FileResult {
  bool ok = false;
  int error = 0;
  explicit operator bool() const { return ok; }
};

// Writes path through a temporary file beside it, renamed over it by Commit once every
// byte is written; without a Commit (a failure, an exception) the temporary file goes.
// A link is followed, and a dangling link gets its target created. A folder, a device
// or a file we may not write is refused: a rename would get past a read-only file. The
// replacement keeps the previous file's permissions and, where allowed, its owner and
// group.
//
// When the folder takes no new file but the target is writable, the content gathers in
// memory and Commit writes the target in place. That cannot be atomic: a crash or an
// I/O error part-way leaves the target damaged. Space is reserved before the first old
// byte is overwritten, so a full disk or a size limit refuses the save with the file
// still whole; this is the price of saving at all where the folder is locked.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(const std::string& path);
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // False once anything failed; later writes and the Commit then fail too.
  bool ok() const { return error_ == 0; }
  int error() const { return error_; }

  // Positioned writes; the file's length is the furthest byte written.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // Appends after the furthest byte written so far.
  bool Write(const void* data, std::size_t size) { return WriteAt(length_, data, size); }

  // Puts the content at the target. The writer is spent afterwards.
  FileResult Commit();

 private:
  int ReplaceTarget();
  int WriteInPlace();
  void Release();

  std::string target_;  // links resolved
  std::string temp_;    // empty when writing in place
  int fd_ = -1;         // the temporary file, or the target when in place
  int error_ = 0;
  bool inPlace_ = false;
  bool existed_ = false;
  bool renamed_ = false;
  bool done_ = false;
  std::uint32_t mode_ = 0, uid_ = 0, gid_ = 0;  // the previous file's
  std::uint64_t length_ = 0;
  std::vector<std::uint8_t> buffer_;  // the content when in place
};

// Writes a whole content at once, as SafeFileWriter does.
FileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size);

// For command-line programs, once at start-up: SIGINT, SIGTERM, SIGHUP and SIGPIPE
// first remove every temporary file still being written, then end the process as they
// would have. A signal the process ignores or handles itself is left alone.
void RemoveTemporaryFilesOnSignals();
