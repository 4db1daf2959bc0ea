#include "model/VxlReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "model/FileHandle.h"
#include "model/Messages.h"
#include "model/RowTranspose.h"

static_assert(std::endian::native == std::endian::little,
              "voxel pairs are copied as little-endian 16-bit cells");

namespace {

constexpr std::int64_t PaletteOffset = 34;
constexpr std::int64_t SectionHeadersAt = 802;
constexpr std::int64_t SectionHeaderSize = 28;
constexpr std::int64_t TailerSize = 92;
// Read-ahead sizes: large enough that syscalls cost little, small enough to stay cached.
constexpr std::size_t TableWindow = 64 * 1024;
constexpr std::size_t DataWindow = 256 * 1024;
constexpr std::size_t JumpRead = 4096;

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

// What the checks read of one section.
struct SectionData {
  SectionValues values;
  std::int32_t spanStartOffset = 0;
  std::int32_t spanEndOffset = 0;
  std::int32_t spanDataOffset = 0;
};

// Everything the checks read, kept apart from the model until the file is accepted.
struct HeaderData {
  std::int64_t bodyStart = 0;
  FileHeaderValues fileHeader;
  PaletteRGB palette{};
  std::vector<SectionData> sections;
};

// A section's cells cost 2 * sx * sy * sz bytes, its tables 8 * sx * sy bytes of the
// file. Written tables never overlap, so a real file holds at least 1/64 of the bytes
// its kept sections need. More is a file made to exhaust memory.
bool KeptSectionsFit(const HeaderData& h, std::int64_t fileSize) {
  std::int64_t bytes = 0;
  for (std::size_t i = 1; i < h.sections.size(); ++i)
    bytes += 2 * std::int64_t(h.sections[i].values.CellCount());
  return bytes <= 64 * fileSize;
}

LoadStatus ReadHeader(int fd, std::int64_t fileSize, HeaderData& h) {
  std::uint8_t head[34];
  ReadAt(fd, fileSize, 0, head, sizeof head);
  static constexpr char signature[16] = "Voxel Animation";  // with its terminating zero
  if (std::memcmp(head, signature, 16) != 0) return LoadStatus::IncorrectFormat;

  const std::int32_t sectionCount = LoadS32(head + 20);
  const std::int32_t tailerCount = LoadS32(head + 24);
  if (sectionCount != tailerCount || sectionCount < 1 || sectionCount > std::int32_t(MaxSections))
    return LoadStatus::IncorrectFormat;
  const std::size_t n = std::size_t(sectionCount);
  const std::int32_t bodySize = LoadS32(head + 28);
  h.fileHeader.Value16 = std::uint32_t(LoadS32(head + 16));
  h.fileHeader.RangeFirst = head[32];
  h.fileHeader.RangeLast = head[33];
  h.bodyStart = SectionHeadersAt + SectionHeaderSize * std::int64_t(n);

  std::uint8_t rgb[768];
  ReadAt(fd, fileSize, PaletteOffset, rgb, sizeof rgb);
  for (int i = 0; i < 256; ++i) h.palette[i] = PackRGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);

  std::vector<std::uint8_t> heads(SectionHeaderSize * n), tailers(TailerSize * n);
  ReadAt(fd, fileSize, SectionHeadersAt, heads.data(), heads.size());
  // A negative or huge BodySize just moves the tailers outside the file; their missing
  // bytes read as 0, so the sizes are then 0 and the file is too small.
  ReadAt(fd, fileSize, h.bodyStart + std::int64_t(bodySize), tailers.data(), tailers.size());
  h.sections.resize(n);
  for (std::size_t s = 0; s < n; ++s) {
    SectionData& d = h.sections[s];
    const std::uint8_t* hd = &heads[SectionHeaderSize * s];
    std::memcpy(d.values.Name.data(), hd, 16);
    d.values.Header = {std::uint32_t(LoadS32(hd + 16)), std::uint32_t(LoadS32(hd + 20)),
                       std::uint32_t(LoadS32(hd + 24))};
    const std::uint8_t* t = &tailers[TailerSize * s];
    d.spanStartOffset = LoadS32(t);
    d.spanEndOffset = LoadS32(t + 4);
    d.spanDataOffset = LoadS32(t + 8);
    for (std::size_t i = 0; i < TailerValueCount; ++i)
      d.values.Tailer[i] = std::uint32_t(LoadS32(t + 12 + 4 * i));
    d.values.SizeX = t[88];
    d.values.SizeY = t[89];
    d.values.SizeZ = t[90];
    d.values.NormalType = t[91];
  }
  for (const SectionData& d : h.sections)
    if (d.values.SizeX == 0 || d.values.SizeY == 0 || d.values.SizeZ == 0)
      return LoadStatus::TooSmall;
  if (!KeptSectionsFit(h, fileSize)) return LoadStatus::IncorrectFormat;
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

// One section's columns into target; budget is shared by all sections of the file.
void Decode(int fd, std::int64_t fileSize, std::int64_t bodyStart, const SectionData& s,
            DecodeBuffers& buffers, const CellPlanes& target, std::int64_t& budget) {
  const unsigned sx = s.values.SizeX, sy = s.values.SizeY, sz = s.values.SizeZ;
  const std::int64_t startTable = bodyStart + std::int64_t(s.spanStartOffset);
  const std::int64_t endTable = bodyStart + std::int64_t(s.spanEndOffset);
  const std::int64_t spanData = bodyStart + std::int64_t(s.spanDataOffset);

  FileWindow starts(fd, fileSize, buffers.starts.get(), TableWindow);
  FileWindow ends(fd, fileSize, buffers.ends.get(), TableWindow);
  FileWindow data(fd, fileSize, buffers.data.get(), DataWindow);

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
    transpose.PairsToPlanes(row, sx, sz, y, target);
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

LoadStatus ReadVoxelFile(const std::string& path, TVoxelModel& model, int* error) {
  int ignored = 0;
  int& cause = error ? *error : ignored;
  cause = 0;
  std::int64_t fileSize = 0;
  const FileHandle file = OpenForReading(path, fileSize, cause);
  if (file.get() < 0) return LoadStatus::FileNotFound;

  auto header = std::make_unique<HeaderData>();
  const LoadStatus status = ReadHeader(file.get(), fileSize, *header);
  if (status != LoadStatus::Ok) return status;
  // Taken before the commit: once the model is touched, nothing may fail.
  DecodeBuffers& buffers = Buffers();
  std::vector<VoxelSection> kept(header->sections.size());
  for (std::size_t i = 1; i < kept.size(); ++i)
    kept[i] = VoxelSection::Unset(header->sections[i].values);

  // A well-formed file is walked once; columns that share or overlap their spans may
  // walk it many times. The cap keeps such a file from stalling the editor for minutes.
  std::int64_t budget = 4 * fileSize + (std::int64_t(64) << 20);
  const SectionValues& first = header->sections[0].values;
  model.SizeX = first.SizeX;
  model.SizeY = first.SizeY;
  model.SizeZ = first.SizeZ;
  model.NormalType = first.NormalType;
  model.Palette = header->palette;
  model.Name = first.Name;
  model.Tailer = first.Tailer;
  model.SectionHeader = first.Header;
  model.FileHeader = header->fileHeader;
  Decode(file.get(), fileSize, header->bodyStart, header->sections[0], buffers,
         {model.Colours.data(), model.Normals.data(), GridSide, LayerCells}, budget);
  for (std::size_t i = 1; i < kept.size(); ++i)
    Decode(file.get(), fileSize, header->bodyStart, header->sections[i], buffers, kept[i].Planes(),
           budget);
  model.AdoptSections(std::move(kept));
  return LoadStatus::Ok;
}
