#include "model/VxlReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

#include "model/Messages.h"
#include "model/RowTranspose.h"

static_assert(std::endian::native == std::endian::little,
              "voxel pairs are copied as little-endian 16-bit cells");

namespace {

constexpr std::int64_t BodyStart = 830;
constexpr std::int64_t PaletteOffset = 34;
constexpr std::int64_t NameOffset = 802;
constexpr std::int64_t TailerSize = 92;
// Read-ahead sizes: large enough that syscalls cost little, small enough to stay cached.
constexpr std::size_t TableWindow = 64 * 1024;
constexpr std::size_t DataWindow = 256 * 1024;
constexpr std::size_t JumpRead = 4096;

// Owns the descriptor so that every path out of the reader closes it.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Positioned reads that never go past the file: bytes outside it (before offset 0 or
// at or after the end) are missing. Returns how many bytes were there.
std::size_t ReadPresent(int fd, std::int64_t fileSize, std::int64_t offset, std::uint8_t* out,
                        std::size_t n) {
  std::size_t got = 0;
  if (offset >= 0 && offset < fileSize) {
    const std::size_t want =
        std::size_t(std::min<std::int64_t>(std::int64_t(n), fileSize - offset));
    while (got < want) {
      const ssize_t r = ::pread(fd, out + got, want - got, off_t(offset + std::int64_t(got)));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;  // an error or a file that shrank while we read: the rest is missing
      got += std::size_t(r);
    }
  }
  return got;
}

// The same, with the missing bytes read as 0.
void ReadAt(int fd, std::int64_t fileSize, std::int64_t offset, void* dst, std::size_t n) {
  auto* out = static_cast<std::uint8_t*>(dst);
  const std::size_t got = ReadPresent(fd, fileSize, offset, out, n);
  std::memset(out + got, 0, n - got);
}

std::int32_t LoadS32(const std::uint8_t* b) {
  return std::int32_t(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                      std::uint32_t(b[3]) << 24);
}

// A read-ahead window over one region of the file. The tables and the span data are
// each read through their own window, so a well-formed file costs one pread per window
// of each, while hostile offsets still only ever touch bytes inside the file.
class FileWindow {
 public:
  FileWindow(int fd, std::int64_t fileSize, std::uint8_t* buffer, std::size_t capacity)
      : fd_(fd), fileSize_(fileSize), capacity_(capacity), buf_(buffer) {}

  // The bytes from offset to the end of the window (at least one), or nullptr with
  // avail 0 when the byte at offset is missing.
  const std::uint8_t* At(std::int64_t offset, std::size_t& avail) {
    std::uint64_t at = std::uint64_t(offset - base_);
    if (at >= len_) {
      // Outside the file there is nothing to read ahead: answer at once, keep the window.
      if (offset < 0 || offset >= fileSize_) {
        avail = 0;
        return nullptr;
      }
      // Reading on from the window's end fills it whole; a jump elsewhere reads a little
      // first, so that columns scattered over a hostile file cost no large reads each.
      const bool onward = offset == base_ + std::int64_t(len_);
      base_ = offset;
      len_ = ReadPresent(fd_, fileSize_, offset, buf_, onward ? capacity_ : JumpRead);
      at = 0;
      if (len_ == 0) {
        avail = 0;
        return nullptr;
      }
    }
    avail = len_ - std::size_t(at);
    return buf_ + at;
  }

  // One byte, or -1 when missing.
  int Byte(std::int64_t offset) {
    std::size_t avail;
    const std::uint8_t* p = At(offset, avail);
    return p ? *p : -1;
  }

  // An s32 table entry; its missing bytes read as 0.
  std::int32_t S32(std::int64_t offset) {
    std::uint8_t b[4] = {0, 0, 0, 0};
    std::size_t avail;
    const std::uint8_t* p = At(offset, avail);
    if (p && avail >= 4) return LoadS32(p);
    for (int i = 0; i < 4; ++i) {
      const int v = Byte(offset + i);
      if (v < 0) break;
      b[i] = std::uint8_t(v);
    }
    return LoadS32(b);
  }

  // Copies up to n bytes from offset; stops at the first missing byte.
  std::size_t Copy(std::int64_t offset, std::uint8_t* dst, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
      std::size_t avail;
      const std::uint8_t* p = At(offset + std::int64_t(done), avail);
      if (!p) break;
      const std::size_t k = std::min(avail, n - done);
      std::memcpy(dst + done, p, k);
      done += k;
    }
    return done;
  }

 private:
  int fd_;
  std::int64_t fileSize_;
  std::size_t capacity_;
  std::uint8_t* buf_;
  std::int64_t base_ = 0;
  std::size_t len_ = 0;
};

// Everything the checks read, kept apart from the model until the file is accepted.
struct HeaderData {
  std::int32_t bodySize = 0;
  PaletteRGB palette{};
  std::array<std::uint8_t, 16> name{};
  std::int32_t spanStartOffset = 0;
  std::int32_t spanEndOffset = 0;
  std::int32_t spanDataOffset = 0;
  std::array<std::uint32_t, TailerValueCount> tailer{};
  std::uint8_t sizeX = 0, sizeY = 0, sizeZ = 0, normalType = 0;
};

LoadStatus ReadHeader(int fd, std::int64_t fileSize, HeaderData& h) {
  std::uint8_t head[34];
  ReadAt(fd, fileSize, 0, head, sizeof head);
  static constexpr char signature[16] = "Voxel Animation";  // with its terminating zero
  if (std::memcmp(head, signature, 16) != 0) return LoadStatus::IncorrectFormat;

  const std::int32_t sectionCount = LoadS32(head + 20);
  const std::int32_t tailerCount = LoadS32(head + 24);
  if (sectionCount != tailerCount || sectionCount < 1) return LoadStatus::IncorrectFormat;
  if (sectionCount > 1) return LoadStatus::MultiLimbed;
  h.bodySize = LoadS32(head + 28);

  std::uint8_t rgb[768];
  ReadAt(fd, fileSize, PaletteOffset, rgb, sizeof rgb);
  for (int i = 0; i < 256; ++i) h.palette[i] = PackRGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  ReadAt(fd, fileSize, NameOffset, h.name.data(), h.name.size());

  // A negative or huge BodySize just moves the tailer outside the file; its missing
  // bytes read as 0, so the sizes are then 0 and the file is too small.
  std::uint8_t t[TailerSize];
  ReadAt(fd, fileSize, BodyStart + std::int64_t(h.bodySize), t, sizeof t);
  h.spanStartOffset = LoadS32(t);
  h.spanEndOffset = LoadS32(t + 4);
  h.spanDataOffset = LoadS32(t + 8);
  for (std::size_t i = 0; i < TailerValueCount; ++i)
    h.tailer[i] = std::uint32_t(LoadS32(t + 12 + 4 * i));
  h.sizeX = t[88];
  h.sizeY = t[89];
  h.sizeZ = t[90];
  h.normalType = t[91];
  if (h.sizeX == 0 || h.sizeY == 0 || h.sizeZ == 0) return LoadStatus::TooSmall;
  return LoadStatus::Ok;
}

inline void ClearCells(std::uint16_t* col, unsigned from, unsigned to) {
  if (from < to) std::memset(col + from, 0, 2 * std::size_t(to - from));
}

// Spans of one column into its pairs col[0 .. sizeZ). Walks the file the way the format
// says, but ends the column at the first missing byte, and as soon as z reaches sizeZ:
// no later span could store anything. `budget` caps the bytes walked over the whole
// file. Cells the spans skip are zeroed on the way; returns the first cell not yet set.
unsigned DecodeColumn(FileWindow& data, std::int64_t p, std::int64_t last, unsigned sizeZ,
                      std::uint16_t* col, std::int64_t& budget) {
  unsigned filled = 0;
  std::int64_t z = 0;
  for (;;) {
    std::size_t avail;
    const std::uint8_t* span = data.At(p, avail);
    if (!span) return filled;
    const int skip = span[0];
    int count;
    bool inWindow = false;  // the whole span, repeated count included, is at hand
    if (avail >= 2) {
      count = span[1];
      inWindow = avail >= 3 + 2 * std::size_t(count);
    } else {
      count = data.Byte(p + 1);
      if (count < 0) return filled;
    }
    p += 2;
    z += skip;
    if (z < sizeZ && count > 0) {
      const unsigned from = unsigned(z);
      const unsigned stored = std::min<unsigned>(unsigned(count), sizeZ - from);
      ClearCells(col, filled, from);
      auto* bytes = reinterpret_cast<std::uint8_t*>(col + from);
      const std::size_t want = 2 * std::size_t(stored);
      filled = from + stored;
      if (inWindow) {
        std::memcpy(bytes, span + 2, want);
      } else {
        const std::size_t got = data.Copy(p, bytes, want);
        // A pair cut by the file's end keeps its colour; its normal reads as 0.
        if (got < want) {
          std::memset(bytes + got, 0, want - got);
          return filled;
        }
      }
    }
    p += 2 * std::int64_t(count);
    z += count;
    budget -= 3 + 2 * std::int64_t(count);
    if (z >= sizeZ || budget <= 0) return filled;
    if (!inWindow && data.Byte(p) < 0) return filled;  // the repeated count
    p += 1;
    if (p > last) return filled;
  }
}

// Working memory of a load, made once per thread: a load then allocates nothing.
struct DecodeBuffers {
  std::unique_ptr<std::uint8_t[]> starts = std::make_unique<std::uint8_t[]>(TableWindow);
  std::unique_ptr<std::uint8_t[]> ends = std::make_unique<std::uint8_t[]>(TableWindow);
  std::unique_ptr<std::uint8_t[]> data = std::make_unique<std::uint8_t[]>(DataWindow);
  std::unique_ptr<std::uint16_t[]> row = RowTranspose::NewPairRow();
  RowTranspose transpose;
};

DecodeBuffers& Buffers() {
  static thread_local std::unique_ptr<DecodeBuffers> buffers;
  if (!buffers) buffers = std::make_unique<DecodeBuffers>();
  return *buffers;
}

void Decode(int fd, std::int64_t fileSize, const HeaderData& h, DecodeBuffers& buffers,
            TVoxelModel& model) {
  const unsigned sx = h.sizeX, sy = h.sizeY, sz = h.sizeZ;
  const std::int64_t startTable = BodyStart + std::int64_t(h.spanStartOffset);
  const std::int64_t endTable = BodyStart + std::int64_t(h.spanEndOffset);
  const std::int64_t spanData = BodyStart + std::int64_t(h.spanDataOffset);

  FileWindow starts(fd, fileSize, buffers.starts.get(), TableWindow);
  FileWindow ends(fd, fileSize, buffers.ends.get(), TableWindow);
  FileWindow data(fd, fileSize, buffers.data.get(), DataWindow);
  // A well-formed file is walked once; columns that share or overlap their spans may
  // walk it many times. The cap keeps such a file from stalling the editor for minutes.
  std::int64_t budget = 4 * fileSize + (std::int64_t(64) << 20);

  RowTranspose& transpose = buffers.transpose;
  std::uint16_t* row = buffers.row.get();
  std::int64_t c = 0;
  for (unsigned y = 0; y < sy; ++y) {
    for (unsigned x = 0; x < sx; ++x, ++c) {
      const std::int32_t start = starts.S32(startTable + 4 * c);
      const std::int32_t end = ends.S32(endTable + 4 * c);
      std::uint16_t* col = row + PairStride * x;
      unsigned filled = 0;
      if (start != -1 && budget > 0)
        filled = DecodeColumn(data, spanData + start, spanData + end, sz, col, budget);
      // The rest of the column is cleared, whatever an earlier model held there.
      ClearCells(col, filled, sz);
    }
    transpose.PairsToGrids(row, sx, sz, y, model.Colours, model.Normals);
  }
}

}  // namespace

const char* LoadStatusMessage(LoadStatus status) {
  switch (status) {
    case LoadStatus::Ok:
      return "";
    case LoadStatus::FileNotFound:
      return MsgFileNotFound;
    case LoadStatus::IncorrectFormat:
      return MsgIncorrectFormat;
    case LoadStatus::MultiLimbed:
      return MsgMultiLimbed;
    case LoadStatus::TooSmall:
      return MsgTooSmall;
  }
  return "";
}

LoadStatus ReadVoxelFile(const std::string& path, TVoxelModel& model) {
  // Non-blocking so that naming a FIFO cannot hang the editor; it then reads as empty.
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return LoadStatus::FileNotFound;
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) return LoadStatus::FileNotFound;
  const std::int64_t fileSize = S_ISREG(st.st_mode) ? std::int64_t(st.st_size) : 0;

  auto header = std::make_unique<HeaderData>();
  const LoadStatus status = ReadHeader(file.get(), fileSize, *header);
  if (status != LoadStatus::Ok) return status;
  // Taken before the commit: once the model is touched, nothing may fail.
  DecodeBuffers& buffers = Buffers();

  model.SizeX = header->sizeX;
  model.SizeY = header->sizeY;
  model.SizeZ = header->sizeZ;
  model.NormalType = header->normalType;
  model.Palette = header->palette;
  model.Name = header->name;
  model.Tailer = header->tailer;
  Decode(file.get(), fileSize, *header, buffers, model);
  return LoadStatus::Ok;
}
