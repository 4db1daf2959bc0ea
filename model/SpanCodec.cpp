#include "model/SpanCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "model/RowTranspose.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little,
              "voxel pairs are copied as little-endian 16-bit cells");

namespace {

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

void ClearExtent(const CellPlanes& planes, unsigned sx, unsigned sy, unsigned sz) {
  for (unsigned z = 0; z < sz; ++z)
    for (unsigned y = 0; y < sy; ++y) {
      std::memset(planes.Colours + planes.At(0, y, z), 0, sx);
      std::memset(planes.Normals + planes.At(0, y, z), 0, sx);
    }
}

}  // namespace

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

void DecodeEncodedColumn(const std::uint8_t* spans, std::size_t length, unsigned sizeZ,
                         std::uint16_t* col) {
  std::memset(col, 0, 2 * std::size_t(sizeZ));
  unsigned z = 0;
  for (std::size_t p = 0; p + 3 <= length;) {
    z += spans[p];
    const unsigned count = spans[p + 1];
    const unsigned stored = z < sizeZ ? std::min(count, sizeZ - z) : 0;
    std::memcpy(col + z, spans + p + 2, 2 * std::size_t(stored));
    z += count;
    p += 3 + 2 * std::size_t(count);
  }
}

PackedCells EncodePlanes(const ConstCellPlanes& planes, unsigned sizeX, unsigned sizeY,
                         unsigned sizeZ) {
  PackedCells packed;
  packed.Reserve(std::size_t(sizeX) * sizeY);
  RowTranspose transpose;
  const auto row = RowTranspose::NewPairRow();
  std::uint8_t column[ColumnSpanMax];
  for (unsigned y = 0; y < sizeY; ++y) {
    transpose.PlanesToPairs(planes, sizeX, sizeZ, y, row.get());
    for (unsigned x = 0; x < sizeX; ++x)
      packed.AppendColumn(column, EncodeColumn(row.get() + PairStride * x, sizeZ, column));
  }
  packed.Finish();
  return packed;
}

void DecodePlanes(const PackedCells& packed, const CellPlanes& planes, unsigned sizeX,
                  unsigned sizeY, unsigned sizeZ) {
  if (packed.Empty()) {
    ClearExtent(planes, sizeX, sizeY, sizeZ);
    return;
  }
  RowTranspose transpose;
  const auto row = RowTranspose::NewPairRow();
  std::size_t c = 0;
  for (unsigned y = 0; y < sizeY; ++y) {
    for (unsigned x = 0; x < sizeX; ++x, ++c) {
      std::size_t length;
      const std::uint8_t* spans = packed.ColumnSpans(c, length);
      DecodeEncodedColumn(spans, length, sizeZ, row.get() + PairStride * x);
    }
    transpose.PairsToPlanes(row.get(), sizeX, sizeZ, y, planes);
  }
}

