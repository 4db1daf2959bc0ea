#pragma once
// The journal of a save in place. Where a file can only be rewritten in place, its old
// content first goes to a journal in the user's state folder, flushed to disk before the
// first byte of the file changes; the journal goes once the new content is flushed. A
// save cut short (a crash, kill -9, a power cut) leaves the journal, and whoever next
// reads or writes the file puts the old content back from it.
//
// A journal file: a header (a magic word, the lengths of the path and of the old
// content, the file's inode, the length and hash of the new content), the target's
// resolved path, the old content, and a hash of all of that. A journal whose length or
// hash does not match was torn while being written: the file had not been touched yet.

#include <cstddef>
#include <cstdint>
#include <string>

// $XDG_STATE_HOME/kobaltine/journal, else ~/.local/state/kobaltine/journal; empty when
// no home folder is known.
std::string JournalFolder();

// Run before every read or write of path. An interrupted save of it that had not
// finished writing the new content gets the old content back, byte for byte, and the
// notice hook says so; one that had finished keeps the new content (it is what the user
// saved, as a replacement by rename keeps the new file once renamed). A torn journal,
// or one of a file since replaced by another, just goes. A journal held by a save still
// running is left to it.
void RecoverInterruptedSave(const std::string& path);

// Where the notices of RecoverInterruptedSave go, as one line without its newline. The
// default prints the line on standard error. Installs hook (nullptr: the default) and
// returns the one it replaces.
using JournalNoticeHook = void (*)(const std::string& text);
JournalNoticeHook SetJournalNoticeHook(JournalNoticeHook hook);

// FNV-1a over the bytes, continuing from h.
std::uint64_t ContentHash(const void* data, std::size_t n, std::uint64_t h = 0xcbf29ce484222325u);

// The journal of one save in place, from before its first write to the target until
// the target is whole again. Destroyed while still held, it stays on disk: that is what
// an interrupted save leaves.
class SaveJournal {
 public:
  SaveJournal() = default;
  ~SaveJournal();
  SaveJournal(const SaveJournal&) = delete;
  SaveJournal& operator=(const SaveJournal&) = delete;

  // Keeps what target (open for reading and writing as targetFd) holds now, with the
  // length and hash of the content about to replace it; flushed with its folder before
  // it returns. 0 or the errno of why no journal could be written.
  int Begin(const std::string& target, int targetFd, std::uint64_t newLength,
            std::uint64_t newHash);
  // The target is whole: the new content flushed, or the old one never touched.
  void Remove();
  // A failure part-way: the old content goes back into targetFd and, when that worked,
  // the journal goes. 0 or the errno.
  int Undo(int targetFd);

 private:
  std::string path_;
  int fd_ = -1;
  std::uint64_t contentAt_ = 0, oldLength_ = 0;
};

// Seams for the tests of interrupted saves; the program never sets them.
namespace SaveTesting {
enum class Step { JournalHalfWritten, JournalWritten, TargetHalfWritten, TargetWritten };
// Every SafeFileWriter on an existing file saves in place, as if its folder took no
// new file.
inline bool ForceInPlace = false;
// Called as a save in place passes each step, e.g. to kill the process there.
inline void (*AtStep)(Step) = nullptr;
inline void Reached(Step step) {
  if (AtStep) AtStep(step);
}
}  // namespace SaveTesting
