// Saves in place go through a journal: a save killed at any step is undone (or kept,
// once the new content was whole) by the next reader or writer of the file, and where
// no journal can be written the save is refused with the file untouched.
#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/NewModel.h"
#include "model/SafeFile.h"
#include "model/SaveJournal.h"
#include "model/VxlReader.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace fs = std::filesystem;

namespace {

// Points the state folder somewhere of its own for as long as it lives.
class StateHome {
 public:
  StateHome() {
    if (const char* s = std::getenv("XDG_STATE_HOME")) previous_ = s;
    ::setenv("XDG_STATE_HOME", dir_.path().c_str(), 1);
  }
  ~StateHome() { ::setenv("XDG_STATE_HOME", previous_.c_str(), 1); }
  StateHome(const StateHome&) = delete;
  StateHome& operator=(const StateHome&) = delete;
  const ScratchDir& dir() const { return dir_; }
  std::size_t Journals() const {
    const fs::path folder = dir_.path() / "kobaltine/journal";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return 0;
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

 private:
  ScratchDir dir_;
  std::string previous_;
};

// No test of this program ever writes to the real home: every save in place of every
// test journals into this folder, open to all so that a test may run a child as nobody.
const struct TestStateHome {
  ScratchDir dir;
  TestStateHome() {
    ::chmod(dir.path().c_str(), 01777);
    ::setenv("XDG_STATE_HOME", dir.path().c_str(), 1);
  }
} testStateHome;

std::unique_ptr<TVoxelModel> Model(int size, std::uint8_t colour) {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, std::uint8_t(size), std::uint8_t(size), std::uint8_t(size));
  for (int z = 0; z < size; ++z)
    for (int y = 0; y < size; ++y)
      for (int x = (y + z) % 3; x < size; x += 3) m->Colours.at(x, y, z) = colour;
  return m;
}

SaveTesting::Step KillAt;
void KillHere(SaveTesting::Step step) {
  if (step == KillAt) ::raise(SIGKILL);
}

std::vector<std::string> Notices;
void Collect(const std::string& text) {
  Notices.push_back(text);
}

}  // namespace

TEST(SaveJournal, KilledSaveInPlaceIsUndoneByTheNextReaderOrWriter) {
  using S = SaveTesting::Step;
  const struct {
    S step;
    bool newKept;  // the new content was whole: only the journal's removal was left
    bool notice;
  } steps[] = {{S::JournalHalfWritten, false, false},
               {S::JournalWritten, false, true},
               {S::TargetHalfWritten, false, true},
               {S::TargetWritten, true, false}};
  const auto small = Model(20, 7), large = Model(40, 9);
  const JournalNoticeHook before = SetJournalNoticeHook(Collect);
  for (const auto& c : steps)
    for (const bool growing : {true, false})
      for (const bool byReader : {true, false}) {
        SCOPED_TRACE(testing::Message() << "step " << int(c.step) << (growing ? " growing" : "")
                                        << (byReader ? " reader" : " writer"));
        const StateHome state;
        ScratchDir dir;
        // Saved through a link, opened by the file's own name: one journal for both.
        const std::string target = dir.File("m.vxl"), link = dir.File("link"),
                          copy = dir.File("new");
        const TVoxelModel &oldModel = growing ? *small : *large,
                          &newModel = growing ? *large : *small;
        ASSERT_TRUE(WriteVoxelFile(target, oldModel));
        ASSERT_TRUE(WriteVoxelFile(copy, newModel));
        const Bytes oldBytes = ReadBytes(target), newBytes = ReadBytes(copy);
        fs::remove(copy);
        fs::create_symlink("m.vxl", link);

        const pid_t pid = ::fork();
        if (pid == 0) {
          SaveTesting::ForceInPlace = true;
          KillAt = c.step;
          SaveTesting::AtStep = KillHere;
          WriteVoxelFile(link, newModel);
          ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        EXPECT_EQ(state.Journals(), 1u);

        Notices.clear();
        if (byReader) {
          auto loaded = std::make_unique<TVoxelModel>();
          EXPECT_EQ(ReadVoxelFile(target, *loaded), LoadStatus::Ok);
        } else {
          SafeFileWriter writer(target);  // given up without a Commit: the file stays
        }
        EXPECT_EQ(ReadBytes(target), c.newKept ? newBytes : oldBytes);
        EXPECT_EQ(state.Journals(), 0u);
        EXPECT_EQ(Notices.size(), c.notice ? 1u : 0u);
        if (c.notice && !Notices.empty()) {
          EXPECT_EQ(Notices[0], target +
                                    ": a save of this file was interrupted; the file is back as it "
                                    "was before it");
        }
        EXPECT_EQ(dir.EntryCount(), 2u);  // and no temporary file
      }
  SetJournalNoticeHook(before);

  // Uninterrupted, a save in place leaves no journal.
  const StateHome state;
  ScratchDir dir;
  const std::string file = dir.File("m.vxl");
  ASSERT_TRUE(WriteVoxelFile(file, *small));
  struct stat st {};
  ::stat(file.c_str(), &st);
  const ino_t inode = st.st_ino;
  SaveTesting::ForceInPlace = true;
  const bool saved = WriteVoxelFile(file, *large).ok;
  SaveTesting::ForceInPlace = false;
  EXPECT_TRUE(saved);
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_ino, inode);  // in place indeed
  auto loaded = std::make_unique<TVoxelModel>();
  EXPECT_EQ(ReadVoxelFile(file, *loaded), LoadStatus::Ok);
  EXPECT_EQ(state.Journals(), 0u);
}

TEST(SaveJournal, WithoutAJournalTheSaveInPlaceIsRefused) {
  const Bytes old = {'o', 'l', 'd'};
  ScratchDir dir;
  const std::string target = dir.File("t");
  // A file where the state folder's folder should be.
  {
    const StateHome state;
    WriteBytes(state.dir().File("kobaltine"), old);
    WriteBytes(target, old);
    SaveTesting::ForceInPlace = true;
    const FileResult r = WriteWholeFile(target, "new", 3);
    SaveTesting::ForceInPlace = false;
    EXPECT_TRUE(!r.ok && r.JournalFailed()) << r.error;
    EXPECT_EQ(FileErrorText(r.error), "no journal could be written: Not a directory");
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_EQ(dir.EntryCount(), 1u);
  }
  // A state folder we may not write, for a file in a folder we may not write: as nobody
  // when we are root, whom modes do not bind.
  const StateHome state;
  ::chmod(state.dir().path().c_str(), 0555);
  ::chmod(dir.path().c_str(), 0555);
  if (::geteuid() == 0 && ::chown(target.c_str(), 65534, 65534) != 0) FAIL();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(77);
    const FileResult r = WriteWholeFile(target, "new", 3);
    ::_exit(r.error == (JournalFailure | EACCES) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(state.dir().path().c_str(), 0755);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
    GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(dir.EntryCount(), 1u);
  EXPECT_EQ(state.dir().EntryCount(), 0u);
}
