#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "model/Messages.h"
#include "palette/PaletteFile.h"

namespace fs = std::filesystem;

namespace {

class PaletteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           (std::string("kobaltine_pal_") + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& e : fs::recursive_directory_iterator(dir_, ec))
      if (e.is_directory(ec))
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // A valid file with the given separator, whose entry n is (n, 255 - n, n / 2).
  static std::string Valid(const std::string& sep, const std::string& header = "JASC-PAL",
                           const std::string& version = "0100", const std::string& count = "256") {
    std::string t = header + sep + version + sep + count;
    for (int n = 0; n < 256; ++n)
      t += sep + std::to_string(n) + sep + std::to_string(255 - n) + sep + std::to_string(n / 2);
    return t + sep;
  }

  static void ExpectValidPalette(const PaletteRGB& p) {
    for (int n = 0; n < 256; ++n) ASSERT_EQ(p[n], PackRGB(n, 255 - n, n / 2)) << "entry " << n;
  }

  PaletteStatus Read(const std::string& bytes, PaletteRGB& palette) const {
    return ReadPaletteFile(Write("in.pal", bytes), palette);
  }

  fs::path dir_;
};

// A file with the header and count, then the given colour words, padded to 768 values.
std::string WithColours(const std::string& colours) {
  std::string t = "JASC-PAL\r\n0100\r\n256\r\n" + colours;
  std::istringstream s(colours);
  int words = 0;
  for (std::string w; s >> w;) ++words;
  for (; words < 768; ++words) t += " 0";
  return t + "\r\n";
}

}  // namespace

TEST_F(PaletteFileTest, RoundTripsEveryEntry) {
  std::mt19937 gen(20261207);
  PaletteRGB saved{};
  for (auto& e : saved) e = PackRGB(gen() & 0xFF, gen() & 0xFF, gen() & 0xFF);
  saved[0] = PackRGB(0, 0, 0);
  saved[255] = PackRGB(255, 255, 255);
  ASSERT_EQ(WritePaletteFile(Path("a.pal"), saved), PaletteStatus::Ok);
  PaletteRGB loaded = DefaultPalette();
  ASSERT_EQ(ReadPaletteFile(Path("a.pal"), loaded), PaletteStatus::Ok);
  EXPECT_EQ(loaded, saved);
}

TEST_F(PaletteFileTest, WritesTheExactLines) {
  PaletteRGB p{};
  p[0] = PackRGB(252, 4, 0);
  p[1] = PackRGB(10, 200, 99);
  p[255] = PackRGB(255, 255, 255);
  ASSERT_EQ(WritePaletteFile(Path("b.pal"), p), PaletteStatus::Ok);
  const std::string bytes = Slurp(Path("b.pal"));
  const std::string head = "JASC-PAL\r\n0100\r\n256\r\n252 4 0\r\n10 200 99\r\n0 0 0\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  const std::string tail = "0 0 0\r\n0 0 0\r\n255 255 255\r\n";
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
  // 21 header bytes, 2 named lines, 253 lines "0 0 0", one of "255 255 255".
  EXPECT_EQ(bytes.size(), 21u + 9 + 11 + 253 * 7 + 13);
  int lines = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    lines += bytes[i] == '\r' && bytes[i + 1] == '\n';
  EXPECT_EQ(lines, 259);
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename(), "b.pal");
}

TEST_F(PaletteFileTest, ReadsAnyWhiteSpace) {
  for (const char* sep : {" ", "\t", "\n", "\r\n", " \t\v\f\r\n  "}) {
    PaletteRGB p{};
    ASSERT_EQ(Read(Valid(sep), p), PaletteStatus::Ok) << int(sep[0]);
    ExpectValidPalette(p);
  }
  // No final line end, and words after the 771st are never looked at.
  PaletteRGB p{};
  std::string text = Valid(" ");
  text.pop_back();
  ASSERT_EQ(Read(text, p), PaletteStatus::Ok);
  ExpectValidPalette(p);
  ASSERT_EQ(
      Read(Valid("\r\n") + "; saved by hand\r\nJASC-PAL 0100 16 " + std::string(5000, 'x'), p),
      PaletteStatus::Ok);
  ExpectValidPalette(p);
}

TEST_F(PaletteFileTest, ChecksTheHeaderInOrder) {
  const PaletteRGB before = DefaultPalette();
  PaletteRGB p = before;
  EXPECT_EQ(Read(Valid(" ", "jasc-pal"), p), PaletteStatus::IncorrectFormat);
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "0101"), p), PaletteStatus::IncorrectFormat);
  // A wrong version is reported before a wrong count.
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "100", "16"), p), PaletteStatus::IncorrectFormat);
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "0100", "16"), p), PaletteStatus::Not256Colours);
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "0100", "0256"), p), PaletteStatus::Not256Colours);
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "0100", "256x"), p), PaletteStatus::Not256Colours);
  EXPECT_EQ(Read("", p), PaletteStatus::IncorrectFormat);
  EXPECT_EQ(Read("JASC-PAL", p), PaletteStatus::IncorrectFormat);
  EXPECT_EQ(Read("JASC-PAL 0100", p), PaletteStatus::Not256Colours);
  EXPECT_EQ(p, before);
  EXPECT_STREQ(PaletteStatusMessage(PaletteStatus::IncorrectFormat), "Incorrect Format!");
  EXPECT_STREQ(PaletteStatusMessage(PaletteStatus::Not256Colours), "Must be a 256-colour palette!");
  EXPECT_STREQ(PaletteStatusMessage(PaletteStatus::FileError), "File Error!");
  EXPECT_STREQ(PaletteStatusMessage(PaletteStatus::FileNotFound), "File not found!");
  EXPECT_STREQ(PaletteStatusMessage(PaletteStatus::Ok), "");
}

TEST_F(PaletteFileTest, ReadsColourWordsByTheirFirstThreeCharacters) {
  const struct {
    const char* word;
    unsigned value;
  } table[] = {
      {"255", 255}, {"0255", 25}, {"300", 44}, {"-1", 255}, {"x", 0},         {"abc", 0},
      {"999", 231}, {"256", 0},   {"12x", 12}, {"+7", 7},   {"-", 0},         {"+-3", 0},
      {"1e5", 1},   {"-12", 244}, {"007", 7},  {"7", 7},    {"1234567", 123},
  };
  std::string colours;
  for (const auto& row : table) colours += std::string(row.word) + " 0 0 ";
  PaletteRGB p{};
  ASSERT_EQ(Read(WithColours(colours), p), PaletteStatus::Ok);
  for (std::size_t n = 0; n < std::size(table); ++n) {
    EXPECT_EQ(p[n], std::int32_t(table[n].value)) << table[n].word;
    EXPECT_EQ(unsigned(p[n]) >> 24, 0u);
  }
}

TEST_F(PaletteFileTest, TruncatedFileLeavesThePaletteAlone) {
  const PaletteRGB before = DefaultPalette();
  std::string full = Valid(" ");
  for (std::size_t cut : {std::size_t(18), std::size_t(30), full.size() / 2, full.size() - 5}) {
    PaletteRGB p = before;
    EXPECT_EQ(Read(full.substr(0, cut), p), PaletteStatus::FileError) << cut;
    EXPECT_EQ(p, before);
  }
}

TEST_F(PaletteFileTest, CutsOverLongWordsWithoutSplittingThem) {
  const std::string longWord(40, '1');
  PaletteRGB p{};
  // A 40-character colour word is one word worth 111; the words after it keep their places.
  ASSERT_EQ(Read(WithColours(longWord + " 2 3 4 5 6"), p), PaletteStatus::Ok);
  EXPECT_EQ(p[0], PackRGB(111, 2, 3));
  EXPECT_EQ(p[1], PackRGB(4, 5, 6));
  // Held to 11 characters, a long first word never equals the signature.
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL" + std::string(32, 'X')), p), PaletteStatus::IncorrectFormat);
  EXPECT_EQ(Read(Valid(" ", "JASC-PAL", "0100", "256" + std::string(37, '0')), p),
            PaletteStatus::Not256Colours);
  // The very last value may be huge too.
  ASSERT_EQ(Read(Valid(" ") + std::string(100000, '9'), p), PaletteStatus::Ok);
  std::string lastHuge = Valid(" ");
  lastHuge.resize(lastHuge.size() - 4);  // drop "127 "
  ASSERT_EQ(Read(lastHuge + " 127" + std::string(100000, '5'), p), PaletteStatus::Ok);
  EXPECT_EQ(p[255], PackRGB(255, 0, 127));
}

TEST_F(PaletteFileTest, MissingOrUnopenableFileIsNotFound) {
  const PaletteRGB before = DefaultPalette();
  PaletteRGB p = before;
  EXPECT_EQ(ReadPaletteFile(Path("none.pal"), p), PaletteStatus::FileNotFound);
  EXPECT_EQ(ReadPaletteFile(dir_.string(), p), PaletteStatus::FileNotFound);
  EXPECT_EQ(ReadPaletteFile("", p), PaletteStatus::FileNotFound);
  EXPECT_EQ(p, before);
}

TEST_F(PaletteFileTest, FailedSaveKeepsThePreviousFile) {
  PaletteRGB p = DefaultPalette();
  const std::string old = "previous contents\r\n";
  // A folder that does not exist.
  EXPECT_EQ(WritePaletteFile(Path("missing/x.pal"), p), PaletteStatus::FileNotFound);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  // A folder as the target.
  fs::create_directory(dir_ / "sub");
  EXPECT_EQ(WritePaletteFile(Path("sub"), p), PaletteStatus::FileNotFound);
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));

  // A read-only folder with a read-only file: neither a new file nor a write in place.
  const std::string target = Write("sub/old.pal", old);
  fs::permissions(target, fs::perms::owner_read);
  fs::permissions(dir_ / "sub", fs::perms::owner_read | fs::perms::owner_exec);
  if (::access((dir_ / "sub").c_str(), W_OK) == 0) GTEST_SKIP() << "running as root";
  EXPECT_EQ(WritePaletteFile(target, p), PaletteStatus::FileNotFound);
  EXPECT_EQ(WritePaletteFile(Path("sub/new.pal"), p), PaletteStatus::FileNotFound);
  EXPECT_EQ(Slurp(target), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "sub"), fs::directory_iterator()), 1);
}

TEST_F(PaletteFileTest, WriteErrorKeepsThePreviousFile) {
  const std::string old = "previous contents\r\n";
  const std::string target = Write("full.pal", old);
  // A file size limit makes the write itself fail, as a full disk would.
  const auto saveWithTinyLimit = [&target] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 100;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::_Exit(WritePaletteFile(target, DefaultPalette()) == PaletteStatus::FileNotFound ? 0 : 1);
  };
  EXPECT_EXIT(saveWithTinyLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(Slurp(target), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  // Devices are not replaced.
  EXPECT_EQ(WritePaletteFile("/dev/null", DefaultPalette()), PaletteStatus::FileNotFound);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(PaletteFileTest, ReadOnlyFileIsNotReplaced) {
  const std::string old = "keep me\r\n";
  const std::string target = Write("ro.pal", old);
  fs::permissions(target, fs::perms::owner_read);
  if (::access(target.c_str(), W_OK) == 0) GTEST_SKIP() << "running as root";
  EXPECT_EQ(WritePaletteFile(target, DefaultPalette()), PaletteStatus::FileNotFound);
  EXPECT_EQ(Slurp(target), old);
}

TEST_F(PaletteFileTest, SaveReplacesAnExistingFileAndKeepsItsMode) {
  const std::string target = Write("old.pal", std::string(10000, 'z'));
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  PaletteRGB p{};
  p[3] = PackRGB(1, 2, 3);
  ASSERT_EQ(WritePaletteFile(target, p), PaletteStatus::Ok);
  PaletteRGB back = DefaultPalette();
  ASSERT_EQ(ReadPaletteFile(target, back), PaletteStatus::Ok);
  EXPECT_EQ(back, p);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // Saving through a link replaces the linked file and keeps the link.
  fs::create_symlink(target, dir_ / "link.pal");
  p[3] = PackRGB(9, 9, 9);
  ASSERT_EQ(WritePaletteFile(Path("link.pal"), p), PaletteStatus::Ok);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.pal"));
  ASSERT_EQ(ReadPaletteFile(target, back), PaletteStatus::Ok);
  EXPECT_EQ(back[3], PackRGB(9, 9, 9));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}
