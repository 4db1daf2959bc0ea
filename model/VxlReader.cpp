#include "model/VxlReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/FileHandle.h"
#include "model/Messages.h"
#include "model/RowTranspose.h"
#include "model/SpanCodec.h"

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

// Whether [from, from + length) lies inside [first, fileSize).
bool Inside(std::int64_t from, std::int64_t length, std::int64_t first, std::int64_t fileSize) {
  return from >= first && from <= fileSize && length <= fileSize - from;
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
  // Everything the header promises must be in the file: the tailers after the section
  // headers, each section's tables and the start of its span data inside the body.
  const std::int64_t tailersAt = h.bodyStart + std::int64_t(bodySize);
  if (bodySize < 0 || !Inside(tailersAt, TailerSize * std::int64_t(n), h.bodyStart, fileSize))
    return LoadStatus::IncorrectFormat;
  for (const SectionData& d : h.sections) {
    const std::int64_t table = 4 * std::int64_t(d.values.SizeX) * d.values.SizeY;
    if (!Inside(h.bodyStart + d.spanStartOffset, table, h.bodyStart, fileSize) ||
        !Inside(h.bodyStart + d.spanEndOffset, table, h.bodyStart, fileSize) ||
        !Inside(h.bodyStart + d.spanDataOffset, 0, h.bodyStart, fileSize))
      return LoadStatus::IncorrectFormat;
  }
  return LoadStatus::Ok;
}

inline void ClearCells(std::uint16_t* col, unsigned from, unsigned to) {
  if (from < to) std::memset(col + from, 0, 2 * std::size_t(to - from));
}

enum class ColumnRead { Whole, Damaged };

// Spans of one column into its pairs col[0 .. sizeZ), every one of them set. Walks the
// file the way the format says, and ends as soon as z reaches sizeZ: no later span could
// store anything. A span that runs past the file's end, or a walk that would take the
// load's budget of bytes (shared by the whole file) past its end, makes the column
// damaged: a file is read whole or not at all.
ColumnRead DecodeColumn(FileWindow& data, std::int64_t p, std::int64_t last, unsigned sizeZ,
                        std::uint16_t* col, std::int64_t& budget) {
  unsigned filled = 0;
  std::int64_t z = 0;
  for (;;) {
    std::size_t avail;
    const std::uint8_t* span = data.At(p, avail);
    if (!span) return ColumnRead::Damaged;
    const int skip = span[0];
    int count;
    bool inWindow = false;  // the whole span, repeated count included, is at hand
    if (avail >= 2) {
      count = span[1];
      inWindow = avail >= 3 + 2 * std::size_t(count);
    } else {
      count = data.Byte(p + 1);
      if (count < 0) return ColumnRead::Damaged;
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
      if (inWindow)
        std::memcpy(bytes, span + 2, want);
      else if (data.Copy(p, bytes, want) < want)
        return ColumnRead::Damaged;
    }
    p += 2 * std::int64_t(count);
    z += count;
    budget -= 3 + 2 * std::int64_t(count);
    if (z >= sizeZ) break;
    if (!inWindow && data.Byte(p) < 0) return ColumnRead::Damaged;  // the repeated count
    p += 1;
    if (p > last) break;
    if (budget <= 0) return ColumnRead::Damaged;
  }
  ClearCells(col, filled, sizeZ);
  return ColumnRead::Whole;
}

// Columns that name the same spans are decoded once. A file the writer made has none:
// its columns follow each other without overlap, which one pass over the tables shows,
// so only other files pay for finding them.
class SharedColumns {
 public:
  // Returns the span bytes the columns claim, when the tables are in the writer's order
  // (else -1).
  std::int64_t Find(FileWindow& starts, FileWindow& ends, std::int64_t startTable,
                    std::int64_t endTable, std::size_t columns) {
    keys_.clear();
    first_.clear();
    std::int64_t lastEnd = -1, claimed = 0;
    bool ordered = true;
    for (std::size_t c = 0; c < columns && ordered; ++c) {
      const std::int32_t start = starts.S32(startTable + 4 * std::int64_t(c));
      const std::int32_t end = ends.S32(endTable + 4 * std::int64_t(c));
      if (start == -1) continue;
      ordered = start > lastEnd && end >= start;
      lastEnd = end;
      claimed += std::int64_t(end) - start + 1;
    }
    if (ordered) return claimed;
    std::unordered_map<std::uint64_t, std::uint32_t> counts;
    counts.reserve(columns);
    for (std::size_t c = 0; c < columns; ++c) {
      const std::int32_t start = starts.S32(startTable + 4 * std::int64_t(c));
      if (start != -1) ++counts[Key(start, ends.S32(endTable + 4 * std::int64_t(c)))];
    }
    for (const auto& [key, count] : counts)
      if (count > 1) keys_.insert(key);
    return -1;
  }
  static std::uint64_t Key(std::int32_t start, std::int32_t end) {
    return std::uint64_t(std::uint32_t(start)) << 32 | std::uint32_t(end);
  }
  bool Shared(std::uint64_t key) const { return !keys_.empty() && keys_.count(key) != 0; }
  // The earlier column of that key, or -1 the first time (which then becomes it).
  std::int64_t Earlier(std::uint64_t key, std::size_t column) {
    const auto [at, inserted] = first_.try_emplace(key, column);
    return inserted ? -1 : std::int64_t(at->second);
  }

 private:
  std::unordered_set<std::uint64_t> keys_;
  std::unordered_map<std::uint64_t, std::size_t> first_;
};

// Working memory of a load, made once per thread: a load then allocates little.
struct DecodeBuffers {
  std::unique_ptr<std::uint8_t[]> starts = std::make_unique<std::uint8_t[]>(TableWindow);
  std::unique_ptr<std::uint8_t[]> ends = std::make_unique<std::uint8_t[]>(TableWindow);
  std::unique_ptr<std::uint8_t[]> data = std::make_unique<std::uint8_t[]>(DataWindow);
  std::unique_ptr<std::uint16_t[]> row = RowTranspose::NewPairRow();
  RowTranspose transpose;
  SharedColumns shared;
  PackedCells sharedSpans;  // for the grids: the spans of shared columns, once each
};

DecodeBuffers& Buffers() {
  static thread_local std::unique_ptr<DecodeBuffers> buffers;
  if (!buffers) buffers = std::make_unique<DecodeBuffers>();
  return *buffers;
}

// Reads the sections of one file, in order, with one budget of bytes walked and one
// count of columns for the progress.
class SectionReader {
 public:
  SectionReader(int fd, std::int64_t fileSize, const HeaderData& header, LoadControl* control)
      : fd_(fd), fileSize_(fileSize), header_(header), control_(control) {
    for (const SectionData& s : header.sections)
      totalColumns_ += std::int64_t(s.values.SizeX) * s.values.SizeY;
  }

  // A section that is not edited, in the form it will be kept in: one whose spans fill
  // most of its extent goes straight into full cells, any other is encoded.
  LoadStatus ReadKept(const SectionData& s, VoxelSection& out) {
    std::int64_t claimed = -1;
    if (LoadStatus status = Read(s, nullptr, nullptr, &claimed); status != LoadStatus::Ok)
      return status;
    const std::int64_t cells = std::int64_t(s.values.CellCount());
    if (claimed >= cells / 2 * 3) {
      if ((keptLeft_ -= 2 * cells) < 0) return LoadStatus::IncorrectFormat;
      out = VoxelSection::Dense(s.values);
      const CellPlanes planes{out.Cells.get(), out.Cells.get() + cells, s.values.SizeX,
                              std::size_t(s.values.SizeX) * s.values.SizeY};
      return Read(s, &planes, nullptr);
    }
    PackedCells packed;
    if (LoadStatus status = Read(s, nullptr, &packed); status != LoadStatus::Ok) return status;
    out = VoxelSection::FromPacked(s.values, std::move(packed));
    return LoadStatus::Ok;
  }

  // Into the grids (planes is non-null) or, encoded, into packed; with neither, only the
  // span bytes the tables claim, into *claimed.
  LoadStatus Read(const SectionData& s, const CellPlanes* planes, PackedCells* packed,
                  std::int64_t* claimed = nullptr) {
    DecodeBuffers& b = Buffers();
    const unsigned sx = s.values.SizeX, sy = s.values.SizeY, sz = s.values.SizeZ;
    const std::size_t columns = std::size_t(sx) * sy;
    const std::int64_t startTable = header_.bodyStart + std::int64_t(s.spanStartOffset);
    const std::int64_t endTable = header_.bodyStart + std::int64_t(s.spanEndOffset);
    const std::int64_t spanData = header_.bodyStart + std::int64_t(s.spanDataOffset);
    FileWindow starts(fd_, fileSize_, b.starts.get(), TableWindow);
    FileWindow ends(fd_, fileSize_, b.ends.get(), TableWindow);
    FileWindow data(fd_, fileSize_, b.data.get(), DataWindow);
    const std::int64_t inOrder = b.shared.Find(starts, ends, startTable, endTable, columns);
    if (claimed) {
      *claimed = inOrder;
      return LoadStatus::Ok;
    }
    b.sharedSpans = PackedCells();
    if (packed) packed->Reserve(columns);

    std::uint16_t* row = b.row.get();
    std::uint8_t spans[ColumnSpanMax];
    std::size_t c = 0;
    for (unsigned y = 0; y < sy; ++y) {
      for (unsigned x = 0; x < sx; ++x, ++c) {
        const std::int32_t start = starts.S32(startTable + 4 * std::int64_t(c));
        const std::int32_t end = ends.S32(endTable + 4 * std::int64_t(c));
        std::uint16_t* col = row + PairStride * x;
        if (start == -1) {
          ClearCells(col, 0, sz);
          if (packed) packed->AppendColumn(nullptr, 0);
          continue;
        }
        // Both ends of a column's spans lie in the body, as the tables promise.
        if (!Inside(spanData + start, 1, header_.bodyStart, fileSize_) ||
            !Inside(spanData + end, 1, header_.bodyStart, fileSize_))
          return LoadStatus::IncorrectFormat;
        const std::uint64_t key = SharedColumns::Key(start, end);
        const bool shared = b.shared.Shared(key);
        const std::int64_t earlier =
            shared ? b.shared.Earlier(key, packed ? c : b.sharedSpans.Columns()) : -1;
        if (earlier >= 0 && packed) {
          packed->AppendShared(std::size_t(earlier));
          continue;
        }
        if (earlier >= 0) {
          std::size_t length;
          const std::uint8_t* kept = b.sharedSpans.ColumnSpans(std::size_t(earlier), length);
          DecodeEncodedColumn(kept, length, sz, col);
          continue;
        }
        if (DecodeColumn(data, spanData + start, spanData + end, sz, col, budget_) !=
            ColumnRead::Whole)
          return LoadStatus::IncorrectFormat;
        if (packed || shared) {
          const std::size_t length = EncodeColumn(col, sz, spans);
          (packed ? *packed : b.sharedSpans).AppendColumn(spans, length);
          if (packed && (keptLeft_ -= std::int64_t(length) + 8) < 0)
            return LoadStatus::IncorrectFormat;
        }
      }
      if (planes) b.transpose.PairsToPlanes(row, sx, sz, y, *planes);
      if (control_) {
        if (control_->Cancel.load(std::memory_order_relaxed)) return LoadStatus::Cancelled;
        doneColumns_ += sx;
        control_->Permille.store(int(1000 * doneColumns_ / totalColumns_),
                                 std::memory_order_relaxed);
      }
    }
    if (packed) packed->Finish();
    return LoadStatus::Ok;
  }

 private:
  int fd_;
  std::int64_t fileSize_;
  const HeaderData& header_;
  LoadControl* control_;
  std::int64_t totalColumns_ = 0, doneColumns_ = 0;
  // A well-formed file is walked once; columns that overlap their spans may walk it
  // many times. The cap keeps such a file from stalling the editor for minutes.
  std::int64_t budget_ = 4 * fileSize_ + (std::int64_t(64) << 20);
  // What the sections that are not edited may take: their encoded form is never larger
  // than the file's own, unless the file is made to exhaust memory.
  std::int64_t keptLeft_ = 3 * fileSize_;
};

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
    case LoadStatus::NoMemory:
      return MsgNoMemory;
    case LoadStatus::Cancelled:
      return "";
  }
  return "";
}

LoadStatus ReadVoxelFile(const std::string& path, TVoxelModel& model, int* error,
                         LoadControl* control) {
  int ignored = 0;
  int& cause = error ? *error : ignored;
  cause = 0;
  std::int64_t fileSize = 0;
  const FileHandle file = OpenForReading(path, fileSize, cause);
  if (file.get() < 0) return LoadStatus::FileNotFound;

  try {
    auto header = std::make_unique<HeaderData>();
    LoadStatus status = ReadHeader(file.get(), fileSize, *header);
    if (status != LoadStatus::Ok) return status;
    // The file goes into a model of its own, which becomes the caller's only when the
    // whole file has been read. The last one replaced is kept for the next load: its
    // grids are in memory already.
    static thread_local std::unique_ptr<TVoxelModel> spare;
    if (!spare) spare = std::make_unique<TVoxelModel>();
    TVoxelModel& into = *spare;
    into.KeepOnlyEditedSection();

    SectionReader reader(file.get(), fileSize, *header, control);
    const SectionValues& first = header->sections[0].values;
    const CellPlanes grids{into.Colours.data(), into.Normals.data(), GridSide, LayerCells};
    if ((status = reader.Read(header->sections[0], &grids, nullptr)) != LoadStatus::Ok)
      return status;
    std::vector<VoxelSection> kept(header->sections.size());
    for (std::size_t i = 1; i < kept.size(); ++i)
      if ((status = reader.ReadKept(header->sections[i], kept[i])) != LoadStatus::Ok)
        return status;
    into.SizeX = first.SizeX;
    into.SizeY = first.SizeY;
    into.SizeZ = first.SizeZ;
    into.NormalType = first.NormalType;
    into.Palette = header->palette;
    into.Name = first.Name;
    into.Tailer = first.Tailer;
    into.SectionHeader = first.Header;
    into.FileHeader = header->fileHeader;
    into.AdoptSections(std::move(kept));
    model.Swap(into);
    into.KeepOnlyEditedSection();  // the replaced model's other sections are not kept
    return LoadStatus::Ok;
  } catch (const std::bad_alloc&) {
    return LoadStatus::NoMemory;
  }
}
