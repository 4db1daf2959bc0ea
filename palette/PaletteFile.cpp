#include "palette/PaletteFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "model/Messages.h"
#include "model/SafeFile.h"
#include "model/SaveJournal.h"

namespace fs = std::filesystem;

namespace {

// A word is held in 12 characters with its terminator; longer words are cut there.
constexpr std::size_t MaxWordLength = 11;

bool IsWhiteSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Splits a file into words through a fixed buffer, whatever its size or content.
class WordReader {
 public:
  explicit WordReader(std::FILE* file) : file_(file) {}

  // The next word, cut to its first MaxWordLength characters; false at the end of the
  // file. skipTail = false leaves the rest of an over-long word unread, for the last
  // word that matters.
  bool Next(std::string& word, bool skipTail = true) {
    word.clear();
    int c = Get();
    while (c != EOF && IsWhiteSpace(c)) c = Get();
    if (c == EOF) return false;
    while (c != EOF && !IsWhiteSpace(c)) {
      if (word.size() < MaxWordLength) {
        word.push_back(char(c));
      } else if (!skipTail) {
        break;
      }
      c = Get();
    }
    return true;
  }

  bool Failed() const { return std::ferror(file_) != 0; }
  bool ReadAnything() const { return readAny_; }

 private:
  int Get() {
    if (pos_ == end_) {
      end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
      pos_ = 0;
      if (end_ == 0) return EOF;
      readAny_ = true;
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  std::FILE* file_;
  char buffer_[4096] = {};
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool readAny_ = false;
};

// Only the first three characters count: an optional sign, then digits up to the first
// non-digit (none gives 0); the component is the low 8 bits of that number.
unsigned ColourComponent(const std::string& word) {
  const std::size_t n = word.size() < 3 ? word.size() : 3;
  std::size_t i = 0;
  bool negative = false;
  if (i < n && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
  int value = 0;
  for (; i < n && word[i] >= '0' && word[i] <= '9'; ++i) value = value * 10 + (word[i] - '0');
  if (negative) value = -value;
  return unsigned(value) & 0xFF;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string PaletteText(const PaletteRGB& palette) {
  std::string text = "JASC-PAL\r\n0100\r\n256\r\n";
  text.reserve(text.size() + 256 * 13);
  char line[16];
  for (std::int32_t entry : palette) {
    const int n = std::snprintf(line, sizeof line, "%u %u %u\r\n", RedOf(entry), GreenOf(entry),
                                BlueOf(entry));
    text.append(line, std::size_t(n));
  }
  return text;
}

}  // namespace

const char* PaletteStatusMessage(PaletteStatus status) {
  switch (status) {
    case PaletteStatus::Ok:
      return "";
    case PaletteStatus::FileNotFound:
      return MsgFileNotFound;
    case PaletteStatus::IncorrectFormat:
      return MsgIncorrectFormat;
    case PaletteStatus::Not256Colours:
      return Msg256Colours;
    case PaletteStatus::FileError:
      return MsgFileError;
  }
  return MsgFileError;
}

PaletteStatus ReadPaletteFile(const std::string& path, PaletteRGB& palette, int* error) {
  int ignored = 0;
  int& cause = error ? *error : ignored;
  cause = 0;
  RecoverInterruptedSave(path);
  // Only plain files: a device or a pipe could feed words for ever.
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    cause = ec ? ec.value() : fs::is_directory(path, ec) ? EISDIR : ENODEV;
    return PaletteStatus::FileNotFound;
  }
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    cause = errno;
    return PaletteStatus::FileNotFound;
  }

  WordReader words(file.get());
  std::string signature, version, count;
  words.Next(signature);
  words.Next(version);
  if (words.Failed() && !words.ReadAnything()) return PaletteStatus::FileNotFound;
  if (signature != "JASC-PAL" || version != "0100") return PaletteStatus::IncorrectFormat;
  words.Next(count);
  if (count != "256") return PaletteStatus::Not256Colours;

  // Words 4 to 771, built aside so that a short file leaves the palette as it was.
  PaletteRGB table{};
  std::string word;
  for (int n = 0; n < 256; ++n) {
    unsigned rgb[3];
    for (int k = 0; k < 3; ++k) {
      const bool last = n == 255 && k == 2;
      if (!words.Next(word, !last)) return PaletteStatus::FileError;
      rgb[k] = ColourComponent(word);
    }
    table[n] = PackRGB(rgb[0], rgb[1], rgb[2]);
  }
  if (words.Failed()) return PaletteStatus::FileError;
  palette = table;
  return PaletteStatus::Ok;
}

PaletteStatus WritePaletteFile(const std::string& path, const PaletteRGB& palette, int* error) {
  const std::string text = PaletteText(palette);
  const FileResult result = WriteWholeFile(path, text.data(), text.size());
  if (error) *error = result.error;
  return result ? PaletteStatus::Ok : PaletteStatus::FileNotFound;
}
