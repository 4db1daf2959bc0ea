#include "model/VxlWriter.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "model/RowTranspose.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little,
              "voxel pairs are copied as little-endian 16-bit cells");

namespace {

constexpr std::size_t HeaderSize = 830;
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
  // A column never takes more than 128 spans of 5 bytes plus a closing span.
  static constexpr std::size_t ColumnMax = 1024;

  SpanSink(SafeFileWriter& out, std::int64_t offset)
      : out_(out), offset_(offset), buf_(std::make_unique<std::uint8_t[]>(Capacity)) {}

  // Room for one more column; flushes when the buffer could not hold it.
  std::uint8_t* Reserve() {
    if (Capacity - used_ < ColumnMax) Flush();
    return buf_.get() + used_;
  }
  void Commit(std::size_t n) {
    used_ += n;
    written_ += n;
  }
  bool Flush() {
    if (used_ > 0 && ok_) ok_ = out_.WriteAt(std::uint64_t(offset_), buf_.get(), used_);
    offset_ += std::int64_t(used_);
    used_ = 0;
    return ok_;
  }
  bool ok() const { return ok_; }
  std::int64_t written() const { return written_; }  // the span offset
  std::int64_t fileOffset() const { return offset_ + std::int64_t(used_); }

 private:
  SafeFileWriter& out_;
  std::int64_t offset_;
  std::unique_ptr<std::uint8_t[]> buf_;
  std::size_t used_ = 0;
  std::int64_t written_ = 0;
  bool ok_ = true;
};

// The first z in [from, end) whose cell is empty (wantEmpty) or a voxel, else end.
// Reads up to seven cells past end, which the padded pair rows always hold.
inline unsigned Scan(const std::uint16_t* cells, unsigned from, unsigned end, bool wantEmpty) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (unsigned z = from; z < end; z += 8) {
    unsigned empties = unsigned(_mm_movemask_epi8(
        _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + z)), zero)));
    const unsigned hits = wantEmpty ? empties : ~empties & 0xFFFF;
    if (hits) return std::min(end, z + unsigned(std::countr_zero(hits)) / 2);
  }
  return end;
#else
  unsigned z = from;
  while (z < end && (cells[z] == 0) != wantEmpty) ++z;
  return z;
#endif
}

// Column cells colour | normal << 8, z from 0; returns the span bytes written to out.
std::size_t EncodeColumn(const std::uint16_t* cells, unsigned sizeZ, std::uint8_t* out) {
  std::uint8_t* o = out;
  unsigned z = 0;
  bool first = true;
  for (;;) {
    const unsigned skip = Scan(cells, z, sizeZ, false) - z;
    if (z + skip == sizeZ) {
      // An empty column writes nothing; a column whose last run reached the top needs
      // no closing span; otherwise the closing span carries z up to the top.
      if (!first && skip > 0) {
        *o++ = std::uint8_t(skip);
        *o++ = 0;
        *o++ = 0;
      }
      return std::size_t(o - out);
    }
    z += skip;
    const unsigned run = Scan(cells, z, sizeZ, true) - z;
    *o++ = std::uint8_t(skip);
    *o++ = std::uint8_t(run);
    std::memcpy(o, cells + z, 2 * std::size_t(run));
    o += 2 * run;
    *o++ = std::uint8_t(run);
    z += run;
    first = false;
  }
}

bool WriteBody(SafeFileWriter& out, const TVoxelModel& model) {
  const unsigned sx = model.SizeX, sy = model.SizeY, sz = model.SizeZ;
  const std::size_t n = std::size_t(sx) * sy;
  const std::int64_t tablesAt = std::int64_t(HeaderSize);
  const std::int64_t spansAt = tablesAt + 8 * std::int64_t(n);

  // Both tables in memory (at most 520 KB), written once when the spans are done.
  std::vector<std::uint8_t> tables(8 * n);
  SpanSink sink(out, spansAt);
  RowTranspose transpose;
  auto row = RowTranspose::NewPairRow();
  std::size_t c = 0;
  for (unsigned y = 0; y < sy; ++y) {
    // The row's columns, each contiguous in z as the spans store them.
    transpose.GridsToPairs(model.Colours, model.Normals, sx, sz, y, row.get());
    for (unsigned x = 0; x < sx; ++x, ++c) {
      const std::int64_t start = sink.written();
      const std::size_t len = EncodeColumn(row.get() + PairStride * x, sz, sink.Reserve());
      sink.Commit(len);
      const std::int32_t s = len ? std::int32_t(start) : -1;
      const std::int32_t e = len ? std::int32_t(start + std::int64_t(len) - 1) : -1;
      PutU32(&tables[4 * c], std::uint32_t(s));
      PutU32(&tables[4 * n + 4 * c], std::uint32_t(e));
    }
  }

  std::uint8_t tailer[TailerSize];
  PutU32(tailer, 0);
  PutU32(tailer + 4, std::uint32_t(4 * n));
  PutU32(tailer + 8, std::uint32_t(8 * n));
  for (std::size_t i = 0; i < TailerValueCount; ++i) PutU32(tailer + 12 + 4 * i, model.Tailer[i]);
  tailer[88] = model.SizeX;
  tailer[89] = model.SizeY;
  tailer[90] = model.SizeZ;
  tailer[91] = model.NormalType;
  const std::int64_t tailerAt = sink.fileOffset();
  if (!sink.Flush()) return false;
  if (!out.WriteAt(std::uint64_t(tailerAt), tailer, sizeof tailer)) return false;
  if (n > 0 && !out.WriteAt(std::uint64_t(tablesAt), tables.data(), tables.size())) return false;

  std::uint8_t header[HeaderSize] = {};
  std::memcpy(header, "Voxel Animation", 16);  // with its terminating zero
  PutU32(header + 16, 1);
  PutU32(header + 20, 1);                                                    // SectionCount
  PutU32(header + 24, 1);                                                    // TailerCount
  PutU32(header + 28, std::uint32_t(8 * std::int64_t(n) + sink.written()));  // BodySize
  header[32] = 16;
  header[33] = 31;
  for (int i = 0; i < 256; ++i) {
    header[34 + 3 * i] = std::uint8_t(RedOf(model.Palette[i]));
    header[35 + 3 * i] = std::uint8_t(GreenOf(model.Palette[i]));
    header[36 + 3 * i] = std::uint8_t(BlueOf(model.Palette[i]));
  }
  std::memcpy(header + 802, model.Name.data(), 16);
  PutU32(header + 818, 0);
  PutU32(header + 822, 1);
  PutU32(header + 826, 0);
  return out.WriteAt(0, header, sizeof header);
}

}  // namespace

FileResult WriteVoxelFile(const std::string& path, const TVoxelModel& model) {
  SafeFileWriter out(path);
  bool written = false;
  try {
    written = out.ok() && WriteBody(out, model);
  } catch (const std::bad_alloc&) {
    // the working buffers: the previous file stays as it is
  }
  if (!written) return {false, out.ok() ? ENOMEM : out.error()};
  return out.Commit();
}
