#pragma once
// The one way the program writes its files: no one sees a file half written, and a
// failed or interrupted write leaves the previous file as it was and nothing beside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Added to the errno of a save in place refused because no journal could be written,
// so that the cause survives wherever an error travels on as an int.
inline constexpr int JournalFailure = 1 << 24;

// The outcome of a write; error is the errno of the first failure, 0 when ok, with
// JournalFailure added when the journal was the cause.
struct FileResult {
  bool ok = false;
  int error = 0;
  explicit operator bool() const { return ok; }
  bool JournalFailed() const { return (error & JournalFailure) != 0; }
};

// An error of a write or a read in words, as strerror gives it; a journal's failure
// reads "no journal could be written: " and its cause.
std::string FileErrorText(int error);

// Writes path through a temporary file beside it, renamed over it by Commit once every
// byte is written; without a Commit (a failure, an exception) the temporary file goes.
// A link is followed, and a dangling link gets its target created. A folder, a device
// or a file we may not write is refused: a rename would get past a read-only file. The
// replacement keeps the previous file's permissions and, where allowed, its owner and
// group.
//
// When the folder takes no new file but the target is writable, the content gathers in
// memory and Commit writes the target in place, journalled (model/SaveJournal.h): its
// old content is flushed to a journal first, so that a crash part-way is undone by the
// next read or write of the file. Where no journal can be written the save is refused
// (JournalFailure). Space is reserved before the first old byte is overwritten, so a
// full disk or a size limit refuses the save with the file still whole.
//
// A temporary file is held locked by its writer until it is renamed or removed; every
// writer first removes the unlocked ones beside its target, which killed writers left.
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
  int lock_ = -1;       // the temporary file's lock, held past fd_'s close to the rename
  int error_ = 0;
  bool inPlace_ = false;
  bool readable_ = false;  // the target, for its journal
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
