#include "model/RowTranspose.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::endian::native == std::endian::little,
              "pairs hold the colour in their low byte");

namespace {

#if defined(__SSE2__)
// Eight rows of eight 16-bit cells become eight columns.
inline void Transpose8x8(__m128i r[8]) {
  const __m128i t0 = _mm_unpacklo_epi16(r[0], r[1]), t1 = _mm_unpackhi_epi16(r[0], r[1]);
  const __m128i t2 = _mm_unpacklo_epi16(r[2], r[3]), t3 = _mm_unpackhi_epi16(r[2], r[3]);
  const __m128i t4 = _mm_unpacklo_epi16(r[4], r[5]), t5 = _mm_unpackhi_epi16(r[4], r[5]);
  const __m128i t6 = _mm_unpacklo_epi16(r[6], r[7]), t7 = _mm_unpackhi_epi16(r[6], r[7]);
  const __m128i u0 = _mm_unpacklo_epi32(t0, t2), u1 = _mm_unpackhi_epi32(t0, t2);
  const __m128i u2 = _mm_unpacklo_epi32(t1, t3), u3 = _mm_unpackhi_epi32(t1, t3);
  const __m128i u4 = _mm_unpacklo_epi32(t4, t6), u5 = _mm_unpackhi_epi32(t4, t6);
  const __m128i u6 = _mm_unpacklo_epi32(t5, t7), u7 = _mm_unpackhi_epi32(t5, t7);
  r[0] = _mm_unpacklo_epi64(u0, u4);
  r[1] = _mm_unpackhi_epi64(u0, u4);
  r[2] = _mm_unpacklo_epi64(u1, u5);
  r[3] = _mm_unpackhi_epi64(u1, u5);
  r[4] = _mm_unpacklo_epi64(u2, u6);
  r[5] = _mm_unpackhi_epi64(u2, u6);
  r[6] = _mm_unpacklo_epi64(u3, u7);
  r[7] = _mm_unpackhi_epi64(u3, u7);
}

// Whole cache lines of a staged row into a layer, streamed past the cache: 33 MB of
// freshly loaded cells would only evict everything else, and streaming saves reading
// each line before it is written.
inline void StreamLines(std::uint8_t* dst, const std::uint8_t* src, unsigned lines) {
  for (unsigned i = 0; i < 64 * lines; i += 16)
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
}

inline void StoreLowHigh(std::uint8_t* low, std::uint8_t* high, __m128i v) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(low), v);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(high), _mm_unpackhi_epi64(v, v));
}
#endif

}  // namespace

RowTranspose::RowTranspose()
    : colours_(std::make_unique<std::uint8_t[]>(256 * StageStride)),
      normals_(std::make_unique<std::uint8_t[]>(256 * StageStride)) {}

std::unique_ptr<std::uint16_t[]> RowTranspose::NewPairRow() {
  return std::make_unique<std::uint16_t[]>(PairRowCells);
}

void RowTranspose::PairsToGrids(const std::uint16_t* pairs, unsigned sizeX, unsigned sizeZ,
                                unsigned y, VoxelGrid& colours, VoxelGrid& normals) {
  PairsToPlanes(pairs, sizeX, sizeZ, y, {colours.data(), normals.data(), GridSide, LayerCells});
}

void RowTranspose::GridsToPairs(const VoxelGrid& colours, const VoxelGrid& normals, unsigned sizeX,
                                unsigned sizeZ, unsigned y, std::uint16_t* pairs) {
  PlanesToPairs({colours.data(), normals.data(), GridSide, LayerCells}, sizeX, sizeZ, y, pairs);
}

void RowTranspose::PairsToPlanes(const std::uint16_t* pairs, unsigned sizeX, unsigned sizeZ,
                                 unsigned y, const CellPlanes& to) {
  std::uint8_t* sc = colours_.get();
  std::uint8_t* sn = normals_.get();
#if defined(__SSE2__)
  // Whole 8 x 8 blocks; the cells beyond the extent land in the padding and stay there.
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  for (unsigned z0 = 0; z0 < sizeZ; z0 += 8) {
    for (unsigned x0 = 0; x0 < sizeX; x0 += 8) {
      __m128i r[8];
      for (int i = 0; i < 8; ++i)
        r[i] =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + (x0 + i) * PairStride + z0));
      Transpose8x8(r);
      for (int j = 0; j < 8; j += 2) {
        std::uint8_t* c = sc + (z0 + j) * StageStride + x0;
        std::uint8_t* n = sn + (z0 + j) * StageStride + x0;
        StoreLowHigh(
            c, c + StageStride,
            _mm_packus_epi16(_mm_and_si128(r[j], lowBytes), _mm_and_si128(r[j + 1], lowBytes)));
        StoreLowHigh(n, n + StageStride,
                     _mm_packus_epi16(_mm_srli_epi16(r[j], 8), _mm_srli_epi16(r[j + 1], 8)));
      }
    }
  }
  // Whole lines are streamed; the last, partial one is written normally, since the
  // cells after the row's end (outside the extent) keep their bytes.
  const bool lineAligned =
      ((reinterpret_cast<std::uintptr_t>(to.Colours) |
        reinterpret_cast<std::uintptr_t>(to.Normals) | to.RowStride | to.LayerStride) &
       63) == 0;
  const unsigned lines = lineAligned ? sizeX / 64 : 0;
  for (unsigned z = 0; z < sizeZ; ++z) {
    std::uint8_t* c = to.Colours + to.At(0, y, z);
    std::uint8_t* n = to.Normals + to.At(0, y, z);
    StreamLines(c, sc + z * StageStride, lines);
    StreamLines(n, sn + z * StageStride, lines);
    std::memcpy(c + 64 * lines, sc + z * StageStride + 64 * lines, sizeX - 64 * lines);
    std::memcpy(n + 64 * lines, sn + z * StageStride + 64 * lines, sizeX - 64 * lines);
  }
  _mm_sfence();
#else
  for (unsigned z = 0; z < sizeZ; ++z)
    for (unsigned x = 0; x < sizeX; ++x) {
      const std::uint16_t v = pairs[x * PairStride + z];
      sc[z * StageStride + x] = std::uint8_t(v);
      sn[z * StageStride + x] = std::uint8_t(v >> 8);
    }
  for (unsigned z = 0; z < sizeZ; ++z) {
    std::memcpy(to.Colours + to.At(0, y, z), sc + z * StageStride, sizeX);
    std::memcpy(to.Normals + to.At(0, y, z), sn + z * StageStride, sizeX);
  }
#endif
}

void RowTranspose::PlanesToPairs(const ConstCellPlanes& from, unsigned sizeX, unsigned sizeZ,
                                 unsigned y, std::uint16_t* pairs) {
  std::uint8_t* sc = colours_.get();
  std::uint8_t* sn = normals_.get();
  for (unsigned z = 0; z < sizeZ; ++z) {
    std::memcpy(sc + z * StageStride, from.Colours + from.At(0, y, z), sizeX);
    std::memcpy(sn + z * StageStride, from.Normals + from.At(0, y, z), sizeX);
  }
#if defined(__SSE2__)
  for (unsigned z0 = 0; z0 < sizeZ; z0 += 8) {
    for (unsigned x0 = 0; x0 < sizeX; x0 += 8) {
      __m128i r[8];
      for (int j = 0; j < 8; ++j) {
        const std::size_t at = (z0 + j) * StageStride + x0;
        r[j] = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sc + at)),
                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sn + at)));
      }
      Transpose8x8(r);
      for (int i = 0; i < 8; ++i)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + (x0 + i) * PairStride + z0), r[i]);
    }
  }
#else
  for (unsigned x = 0; x < sizeX; ++x)
    for (unsigned z = 0; z < sizeZ; ++z)
      pairs[x * PairStride + z] =
          std::uint16_t(sc[z * StageStride + x] | sn[z * StageStride + x] << 8);
#endif
}
