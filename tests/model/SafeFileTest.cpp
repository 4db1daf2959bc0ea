// The file writer under the model writer and every whole-content writer: it keeps what
// the file was and leaves nothing beside it.
#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>

#include "model/NewModel.h"
#include "model/SafeFile.h"
#include "model/VxlTestFiles.h"
#include "model/VxlWriter.h"

namespace fs = std::filesystem;

namespace {

// Writer 0 streams a model in positioned blocks, writer 1 hands over a whole content.
bool Save(int writer, const std::string& path) {
  static const std::unique_ptr<TVoxelModel> model = [] {
    auto m = std::make_unique<TVoxelModel>();
    ResetNewModel(*m, 90, 80, 70);
    m->Colours.at(3, 2, 1) = 5;
    return m;
  }();
  static const Bytes bytes(5000, 'n');
  return writer == 0 ? WriteVoxelFile(path, *model).ok
                     : WriteWholeFile(path, bytes.data(), bytes.size()).ok;
}

Bytes Expected(int writer) {
  ScratchDir dir;
  if (!Save(writer, dir.File("x"))) std::abort();
  return ReadBytes(dir.File("x"));
}

struct stat Stat(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

}  // namespace

TEST(SafeFile, KeepsModeAndOwnerAndFollowsLinks) {
  ScratchDir dir;
  fs::create_directory(dir.path() / "sub");
  const bool root = ::geteuid() == 0;
  for (int w = 0; w < 2; ++w) {
    SCOPED_TRACE(w);
    const std::string name = std::to_string(w), target = dir.File(name);
    WriteBytes(target, Bytes(100000, 'o'));
    ::chmod(target.c_str(), 02640);
    if (root && ::chown(target.c_str(), 65534, 65534) != 0) FAIL();
    ASSERT_TRUE(Save(w, target));
    EXPECT_EQ(ReadBytes(target), Expected(w));
    EXPECT_EQ(Stat(target).st_mode & 07777, 02640u);
    EXPECT_TRUE(!root || (Stat(target).st_uid == 65534 && Stat(target).st_gid == 65534));

    // A link stays and its file is replaced; a dangling chain gets its end created.
    fs::create_symlink(name, dir.path() / (name + ".link"));
    fs::create_symlink("sub/../" + name + ".made", dir.path() / (name + ".far"));
    fs::create_symlink(name + ".far", dir.path() / (name + ".dangling"));
    WriteBytes(target, Bytes{'o'});
    ASSERT_TRUE(Save(w, target + ".link"));
    ASSERT_TRUE(Save(w, target + ".dangling"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / (name + ".link")));
    EXPECT_TRUE(fs::is_symlink(dir.path() / (name + ".dangling")));
    EXPECT_EQ(ReadBytes(target), Expected(w));
    EXPECT_EQ(ReadBytes(target + ".made"), Expected(w));
  }
  EXPECT_EQ(dir.EntryCount(), 1u + 2 * 5);  // and no temporary file
}

TEST(SafeFile, EveryFailureSaysWhyAndLeavesNothing) {
  ScratchDir dir;
  fs::create_directory(dir.path() / "folder");
  fs::create_symlink("loop", dir.path() / "loop");
  WriteBytes(dir.File("old"), Bytes{'o'});
  const std::pair<std::string, int> cases[] = {
      {"", ENOENT},           {dir.File("missing/x"), ENOENT}, {dir.File("old/x"), ENOTDIR},
      {"/dev/null", ENOTSUP}, {dir.File("folder"), EISDIR},    {dir.File("loop"), ELOOP}};
  for (const auto& [path, error] : cases) {
    const FileResult r = WriteWholeFile(path, "x", 1);
    EXPECT_TRUE(!r.ok && r.error == error) << path << ": " << std::strerror(r.error);
    EXPECT_FALSE(Save(0, path)) << path;
  }
  EXPECT_EQ(dir.EntryCount(), 3u);
  EXPECT_EQ(ReadBytes(dir.File("old")), Bytes{'o'});
}

TEST(SafeFile, WritableFileInReadOnlyFolderIsSavedInPlace) {
  const Bytes expected[] = {Expected(0), Expected(1)};
  ScratchDir dir;
  const std::string ro = dir.File("ro");
  if (::geteuid() == 0 && ::chown(dir.path().c_str(), 65534, 65534) != 0) FAIL();
  // A child process as a user whom file modes bind: nobody, when we are root.
  const auto check = [&]() -> int {
    const auto file = [&](const std::string& name, const Bytes& bytes, mode_t mode) {
      WriteBytes(ro + "/" + name, bytes);
      ::chmod((ro + "/" + name).c_str(), mode);
      return ro + "/" + name;
    };
    if (::mkdir(ro.c_str(), 0755) != 0) return 1;
    const std::string targets[] = {file("0s", {'o'}, 0604), file("0l", Bytes(1 << 20, 'o'), 0604),
                                   file("1s", {'o'}, 0604), file("1l", Bytes(1 << 20, 'o'), 0604)};
    const std::string locked = file("locked", {'o'}, 0444), limited = file("limited", {'o'}, 0644);
    ::chmod(ro.c_str(), 0555);
    const struct Unlock {  // so that the scratch folder can go
      const std::string& ro;
      ~Unlock() { ::chmod(ro.c_str(), 0755); }
    } unlock{ro};
    for (int i = 0; i < 4; ++i) {
      const ino_t inode = Stat(targets[i]).st_ino;
      if (!Save(i / 2, targets[i])) return 10 + i;
      if (ReadBytes(targets[i]) != expected[i / 2]) return 20 + i;
      if (Stat(targets[i]).st_ino != inode || (Stat(targets[i]).st_mode & 07777) != 0604) return 30;
    }
    // Refused: a read-only file, a new file, and over a size limit before any byte changed.
    if (WriteWholeFile(locked, "x", 1).error != EACCES) return 40;
    if (WriteWholeFile(ro + "/new", "x", 1).error != EACCES) return 41;
    ::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {4096, RLIM_INFINITY};
    const Bytes big(10000, 'n');
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 ||
        WriteWholeFile(limited, big.data(), big.size()).error != EFBIG)
      return 42;
    if (ReadBytes(limited) != Bytes{'o'} || ReadBytes(locked) != Bytes{'o'}) return 43;
    return std::distance(fs::directory_iterator(ro), fs::directory_iterator()) == 6 ? 0 : 50;
  };
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(77);
    ::_exit(check());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
    GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(status, 0) << "exit " << WEXITSTATUS(status)
                       << ": 1x failed, 2x wrong bytes, 30 not in place, 4x a refusal, 50 debris";
}

TEST(SafeFile, NextSaveRemovesTemporaryFilesOfKilledWritersOnly) {
  ScratchDir dir;
  const auto temporaries = [&] {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
      n += e.path().filename().string().rfind(".kobaltine-", 0) == 0;
    return n;
  };
  WriteBytes(dir.File(".kobaltine-notours.tmp"), Bytes{'k'});  // not a name we make
  // The live writer is another process, as a sweeper's own writers are skipped anyway.
  int ready[2], go[2];
  ASSERT_TRUE(::pipe(ready) == 0 && ::pipe(go) == 0);
  const pid_t live = ::fork();
  if (live == 0) {
    SafeFileWriter out(dir.File("live"));
    char c = 0;
    const bool wrote = out.Write("live", 4) && ::write(ready[1], "r", 1) == 1;
    ::_exit(wrote && ::read(go[0], &c, 1) == 1 && out.Commit() ? 0 : 1);
  }
  ::close(ready[1]);  // a child that fails early then ends the wait
  ::close(go[0]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const pid_t killed = ::fork();
  if (killed == 0) {
    SafeFileWriter out(dir.File("killed"));
    out.Write("half", 4);
    ::raise(SIGKILL);
  }
  int status = 0;
  ::waitpid(killed, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(temporaries(), 3u);
  ASSERT_TRUE(WriteWholeFile(dir.File("next"), "n", 1));
  EXPECT_EQ(temporaries(), 2u);  // the live writer's and the stranger
  ASSERT_EQ(::write(go[1], "g", 1), 1);
  ::waitpid(live, &status, 0);
  EXPECT_EQ(status, 0);
  ::close(ready[0]);
  ::close(go[1]);
  EXPECT_EQ(ReadBytes(dir.File("live")), (Bytes{'l', 'i', 'v', 'e'}));
  EXPECT_EQ(temporaries(), 1u);
}
