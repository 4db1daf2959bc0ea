// An interrupted command leaves the previous output whole and no temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "model/NewModel.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace {

pid_t StartResave(const std::string& in, const std::string& out) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Whatever the test runner ignores or blocks, the tool starts with the defaults.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, SIG_DFL);
    ::execl(VXLTOOL_PATH, "vxltool", "resave", in.c_str(), out.c_str(), nullptr);
    ::_exit(127);
  }
  return pid;
}

}  // namespace

TEST(VxlToolInterrupted, ResaveLeavesTheOldFileAndNoTemporary) {
  // Every cell a voxel: about 34 MB, so the write takes long enough to be caught.
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 255, 255, 255);
  for (unsigned z = 0; z < 255; ++z) std::memset(m->Colours.layer(z), 7, LayerCells);
  ScratchDir source(false), dir(false);
  ASSERT_TRUE(WriteVoxelFile(source.File("big.vxl"), *m));
  m.reset();
  const std::string out = dir.File("out.vxl");
  const Bytes old = {'o', 'l', 'd'};

  for (int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(sig));
    // The signal must land while the temporary file exists; a run that finished
    // first is tried again.
    bool caught = false;
    for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
      WriteBytes(out, old);
      const pid_t pid = StartResave(source.File("big.vxl"), out);
      ASSERT_GT(pid, 0);
      int status = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (dir.EntryCount() > 1) {
          ::kill(pid, sig);
          ::waitpid(pid, &status, 0);
          // Replaced: the tool was done before the signal came.
          caught = std::filesystem::file_size(out) == old.size();
          break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
          ::kill(pid, SIGKILL);
          ::waitpid(pid, &status, 0);
          FAIL() << "the tool took over a minute";
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      if (!caught) continue;
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
      EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary file
      EXPECT_EQ(ReadBytes(out), old);
    }
    EXPECT_TRUE(caught) << "never interrupted while writing";
  }
}
