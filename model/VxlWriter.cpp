#include "model/VxlWriter.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "model/RowTranspose.h"
#include "model/SpanCodec.h"

static_assert(std::endian::native == std::endian::little,
              "voxel pairs are copied as little-endian 16-bit cells");

namespace {

constexpr std::size_t FileHeaderSize = 802;
constexpr std::size_t SectionHeaderSize = 28;
constexpr std::size_t TailerSize = 92;

void PutU32(std::uint8_t* b, std::uint32_t v) {
  b[0] = std::uint8_t(v);
  b[1] = std::uint8_t(v >> 8);
  b[2] = std::uint8_t(v >> 16);
  b[3] = std::uint8_t(v >> 24);
}

// The span data go out through a fixed buffer, never as a whole.
class SpanSink {
 public:
  static constexpr std::size_t Capacity = 1 << 20;

  explicit SpanSink(const VoxelFileOutput& out)
      : out_(out), buf_(std::make_unique_for_overwrite<std::uint8_t[]>(Capacity)) {}

  // The next bytes go to offset in the file; the span offset starts again at 0.
  void MoveTo(std::int64_t offset) {
    Flush();
    offset_ = offset;
    written_ = 0;
  }
  // Room for one more column; flushes when the buffer could not hold it.
  std::uint8_t* Reserve() {
    if (Capacity - used_ < ColumnSpanMax) Flush();
    return buf_.get() + used_;
  }
  void Commit(std::size_t n) {
    used_ += n;
    written_ += n;
  }
  bool Flush() {
    if (used_ > 0 && ok_) ok_ = out_(offset_, buf_.get(), used_);
    offset_ += std::int64_t(used_);
    used_ = 0;
    return ok_;
  }
  bool ok() const { return ok_; }
  std::int64_t written() const { return written_; }  // the span offset
  std::int64_t fileOffset() const { return offset_ + std::int64_t(used_); }

 private:
  const VoxelFileOutput& out_;
  std::int64_t offset_ = 0;
  std::unique_ptr<std::uint8_t[]> buf_;
  std::size_t used_ = 0;
  std::int64_t written_ = 0;
  bool ok_ = true;
};

// One section's tables and spans from body offset at; returns the body bytes it took,
// or -1 when a write failed. Its tailer goes to tailer. A section kept encoded (packed
// not null) has its columns copied as they are: they were encoded the same way.
std::int64_t EncodeSection(const SectionValues& section, const ConstCellPlanes& cells,
                           const PackedCells* packed, std::int64_t bodyAt, std::int64_t at,
                           SpanSink& sink, RowTranspose& transpose, std::uint16_t* row,
                           const VoxelFileOutput& out, std::uint8_t* tailer) {
  const unsigned sx = section.SizeX, sy = section.SizeY, sz = section.SizeZ;
  const std::size_t n = std::size_t(sx) * sy;
  // Both tables in memory (at most 520 KB), written once when the spans are done.
  std::vector<std::uint8_t> tables(8 * n);
  sink.MoveTo(bodyAt + at + 8 * std::int64_t(n));
  std::size_t c = 0;
  for (unsigned y = 0; y < sy; ++y) {
    // The row's columns, each contiguous in z as the spans store them.
    if (!packed) transpose.PlanesToPairs(cells, sx, sz, y, row);
    for (unsigned x = 0; x < sx; ++x, ++c) {
      const std::int64_t start = sink.written();
      std::size_t len = 0;
      if (packed) {
        const std::uint8_t* spans = packed->ColumnSpans(c, len);
        if (len > 0) std::memcpy(sink.Reserve(), spans, len);
      } else {
        len = EncodeColumn(row + PairStride * x, sz, sink.Reserve());
      }
      sink.Commit(len);
      const std::int32_t s = len ? std::int32_t(start) : -1;
      const std::int32_t e = len ? std::int32_t(start + std::int64_t(len) - 1) : -1;
      PutU32(&tables[4 * c], std::uint32_t(s));
      PutU32(&tables[4 * n + 4 * c], std::uint32_t(e));
    }
  }
  if (!sink.Flush()) return -1;
  if (n > 0 && !out(bodyAt + at, tables.data(), tables.size())) return -1;

  PutU32(tailer, std::uint32_t(at));
  PutU32(tailer + 4, std::uint32_t(at + 4 * std::int64_t(n)));
  PutU32(tailer + 8, std::uint32_t(at + 8 * std::int64_t(n)));
  for (std::size_t i = 0; i < TailerValueCount; ++i) PutU32(tailer + 12 + 4 * i, section.Tailer[i]);
  tailer[88] = section.SizeX;
  tailer[89] = section.SizeY;
  tailer[90] = section.SizeZ;
  tailer[91] = section.NormalType;
  return 8 * std::int64_t(n) + sink.written();
}

}  // namespace

bool EncodeVoxelFile(const TVoxelModel& model, const VoxelFileOutput& out) {
  const std::size_t count = model.SectionCount();
  const std::int64_t bodyAt = std::int64_t(FileHeaderSize + SectionHeaderSize * count);
  std::vector<std::uint8_t> tailers(TailerSize * count);
  SpanSink sink(out);
  RowTranspose transpose;
  auto row = RowTranspose::NewPairRow();
  std::int64_t body = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const VoxelSection* kept = model.KeptSection(i);
    const bool packed = kept != nullptr && !kept->Cells;
    const SectionView section = packed ? SectionView{} : model.Section(i);
    const std::int64_t len =
        EncodeSection(model.Values(i), section.Cells, packed ? &kept->Packed : nullptr, bodyAt,
                      body, sink, transpose, row.get(), out, &tailers[TailerSize * i]);
    if (len < 0) return false;
    body += len;
    // Offsets and BodySize are 32-bit: a larger body has no valid file.
    if (body > INT32_MAX) return false;
  }
  if (!out(bodyAt + body, tailers.data(), tailers.size())) return false;

  std::vector<std::uint8_t> header(std::size_t(bodyAt), 0);
  std::memcpy(header.data(), "Voxel Animation", 16);  // with its terminating zero
  PutU32(&header[16], model.FileHeader.Value16);
  PutU32(&header[20], std::uint32_t(count));  // SectionCount
  PutU32(&header[24], std::uint32_t(count));  // TailerCount
  PutU32(&header[28], std::uint32_t(body));   // BodySize
  header[32] = model.FileHeader.RangeFirst;
  header[33] = model.FileHeader.RangeLast;
  for (int i = 0; i < 256; ++i) {
    header[34 + 3 * i] = std::uint8_t(RedOf(model.Palette[i]));
    header[35 + 3 * i] = std::uint8_t(GreenOf(model.Palette[i]));
    header[36 + 3 * i] = std::uint8_t(BlueOf(model.Palette[i]));
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* h = &header[FileHeaderSize + SectionHeaderSize * i];
    const SectionValues section = model.Values(i);
    std::memcpy(h, section.Name.data(), 16);
    PutU32(h + 16, std::uint32_t(i));
    PutU32(h + 20, section.Header.Value1);
    PutU32(h + 24, section.Header.Value2);
  }
  return out(0, header.data(), header.size());
}

FileResult WriteVoxelFile(const std::string& path, const TVoxelModel& model) {
  SafeFileWriter file(path);
  bool written = false;
  try {
    written = file.ok() && EncodeVoxelFile(model, [&file](std::int64_t offset,
                                                          const std::uint8_t* data, std::size_t n) {
                return file.WriteAt(std::uint64_t(offset), data, n);
              });
  } catch (const std::bad_alloc&) {
    // the working buffers: the previous file stays as it is
  }
  if (!written) return {false, file.ok() ? ENOMEM : file.error()};
  return file.Commit();
}
