// The model's section list: the edited section in the grids, the others kept compactly.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "model/SpanCodec.h"
#include "model/VoxelModel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

ConstCellPlanes GridPlanes(const VoxelGrid& colours, const VoxelGrid& normals) {
  return {colours.data(), normals.data(), GridSide, LayerCells};
}

#if defined(__SSE2__)
// Whole 16-byte blocks past the cache: a switch moves up to 33 MB each way, which would
// only evict everything else, and streaming saves reading each line before writing it.
inline void StreamBlocks(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 16)
    _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
}

// Rows into one contiguous run, gathered in a small stage so that every line of the
// run is streamed whole.
class RunWriter {
 public:
  explicit RunWriter(std::uint8_t* dst)
      : dst_(dst), head_((64 - (std::uintptr_t(dst) & 63)) & 63) {}
  void Put(const std::uint8_t* src, std::size_t n) {
    const std::size_t h = std::min(head_, n);
    std::memcpy(dst_, src, h);
    dst_ += h, src += h, n -= h, head_ -= h;
    while (n > 0) {
      const std::size_t k = std::min(n, sizeof stage_ - used_);
      std::memcpy(stage_ + used_, src, k);
      used_ += k, src += k, n -= k;
      if (used_ == sizeof stage_) {
        StreamBlocks(dst_, stage_, used_);
        dst_ += used_;
        used_ = 0;
      }
    }
  }
  void Finish() {
    const std::size_t whole = used_ & ~std::size_t(63);
    StreamBlocks(dst_, stage_, whole);
    std::memcpy(dst_ + whole, stage_ + whole, used_ - whole);
    used_ = 0;
  }

 private:
  std::uint8_t* dst_;
  std::size_t head_;
  std::size_t used_ = 0;
  alignas(64) std::uint8_t stage_[4096];
};
#endif

// The extent's cells from one pair of planes into another, a row at a time.
void CopyExtent(const ConstCellPlanes& from, const CellPlanes& to, unsigned sx, unsigned sy,
                unsigned sz) {
  const std::size_t layer = std::size_t(sx) * sy;
  const bool packed = to.RowStride == sx && to.LayerStride == layer;
  if (packed && from.RowStride == sx && from.LayerStride == layer) {
    std::memcpy(to.Colours, from.Colours, layer * sz);
    std::memcpy(to.Normals, from.Normals, layer * sz);
    return;
  }
#if defined(__SSE2__)
  if (packed) {
    for (const bool normals : {false, true}) {
      RunWriter run(normals ? to.Normals : to.Colours);
      const std::uint8_t* plane = normals ? from.Normals : from.Colours;
      for (unsigned z = 0; z < sz; ++z)
        for (unsigned y = 0; y < sy; ++y) run.Put(plane + from.At(0, y, z), sx);
      run.Finish();
    }
    _mm_sfence();
    return;
  }
  // Rows that start on cache lines (the grids'): their whole lines are streamed, the
  // partial last one written normally, since the cells after the row keep their bytes.
  const bool lineRows =
      ((std::uintptr_t(to.Colours) | std::uintptr_t(to.Normals) | to.RowStride | to.LayerStride) &
       63) == 0;
  const std::size_t lines = lineRows ? 64 * (sx / 64) : 0;
  for (unsigned z = 0; z < sz; ++z)
    for (unsigned y = 0; y < sy; ++y) {
      std::uint8_t* c = to.Colours + to.At(0, y, z);
      std::uint8_t* n = to.Normals + to.At(0, y, z);
      const std::uint8_t* fc = from.Colours + from.At(0, y, z);
      const std::uint8_t* fn = from.Normals + from.At(0, y, z);
      StreamBlocks(c, fc, lines);
      StreamBlocks(n, fn, lines);
      std::memcpy(c + lines, fc + lines, sx - lines);
      std::memcpy(n + lines, fn + lines, sx - lines);
    }
  _mm_sfence();
#else
  for (unsigned z = 0; z < sz; ++z)
    for (unsigned y = 0; y < sy; ++y) {
      std::memcpy(to.Colours + to.At(0, y, z), from.Colours + from.At(0, y, z), sx);
      std::memcpy(to.Normals + to.At(0, y, z), from.Normals + from.At(0, y, z), sx);
    }
#endif
}

}  // namespace

VoxelSection VoxelSection::Empty(const SectionValues& values) {
  VoxelSection s;
  static_cast<SectionValues&>(s) = values;
  return s;
}

VoxelSection VoxelSection::Dense(const SectionValues& values) {
  VoxelSection s;
  static_cast<SectionValues&>(s) = values;
  s.Cells = std::make_unique<std::uint8_t[]>(2 * s.CellCount());
  return s;
}

namespace {

CellPlanes FullPlanes(std::uint8_t* cells, const SectionValues& v) {
  return {cells, cells + v.CellCount(), v.SizeX, std::size_t(v.SizeX) * v.SizeY};
}

// The encoded form is kept while it takes at most three quarters of the full one.
bool PackedIsSmaller(std::size_t packedBytes, std::size_t cellCount) {
  return packedBytes <= cellCount / 2 * 3;
}

}  // namespace

VoxelSection VoxelSection::FromPlanes(const SectionValues& values, const ConstCellPlanes& planes) {
  const std::size_t n = values.CellCount();
  // A full section is seen within its first rows; it is then copied, not encoded.
  std::size_t voxels = 0;
  const unsigned probeRows = std::max(1u, unsigned(values.SizeY) / 8);
  for (unsigned z = 0; z < values.SizeZ; ++z)
    for (unsigned y = 0; y < probeRows; ++y) {
      const std::uint8_t* c = planes.Colours + planes.At(0, y, z);
      const std::uint8_t* m = planes.Normals + planes.At(0, y, z);
      for (unsigned x = 0; x < values.SizeX; ++x) voxels += (c[x] | m[x]) != 0;
    }
  const std::size_t probed = std::size_t(values.SizeX) * probeRows * values.SizeZ;
  if (voxels * 8 < probed * 3) {
    PackedCells packed = EncodePlanes(planes, values.SizeX, values.SizeY, values.SizeZ);
    if (PackedIsSmaller(packed.Bytes(), n)) return FromPacked(values, std::move(packed));
  }
  VoxelSection s = Dense(values);
  CopyExtent(planes, FullPlanes(s.Cells.get(), s), s.SizeX, s.SizeY, s.SizeZ);
  return s;
}

VoxelSection VoxelSection::FromPacked(const SectionValues& values, PackedCells packed) {
  VoxelSection s;
  static_cast<SectionValues&>(s) = values;
  if (PackedIsSmaller(packed.Bytes(), s.CellCount())) {
    s.Packed = std::move(packed);
  } else {
    s.Cells = std::make_unique_for_overwrite<std::uint8_t[]>(2 * s.CellCount());
    DecodePlanes(packed, FullPlanes(s.Cells.get(), s), s.SizeX, s.SizeY, s.SizeZ);
  }
  return s;
}

VoxelSection VoxelSection::Copy() const {
  VoxelSection s;
  static_cast<SectionValues&>(s) = *this;
  s.Packed = Packed;
  if (Cells) {
    s.Cells = std::make_unique_for_overwrite<std::uint8_t[]>(2 * CellCount());
    std::memcpy(s.Cells.get(), Cells.get(), 2 * CellCount());
  }
  return s;
}

void VoxelSection::CopyCellsTo(const CellPlanes& planes) const {
  if (Cells)
    CopyExtent(FullPlanes(Cells.get(), *this), planes, SizeX, SizeY, SizeZ);
  else
    DecodePlanes(Packed, planes, SizeX, SizeY, SizeZ);
}

SectionView VoxelSection::View() const {
  SectionView v;
  static_cast<SectionValues&>(v) = *this;
  if (Cells) {
    v.Cells = FullPlanes(Cells.get(), *this);
  } else {
    std::shared_ptr<std::uint8_t[]> cells(new std::uint8_t[2 * CellCount()]);
    const CellPlanes planes = FullPlanes(cells.get(), *this);
    DecodePlanes(Packed, planes, SizeX, SizeY, SizeZ);
    v.Cells = planes;
    v.Owned = std::move(cells);
  }
  return v;
}

bool SameSection(const SectionView& a, const SectionView& b) {
  if (static_cast<const SectionValues&>(a) != static_cast<const SectionValues&>(b)) return false;
  for (unsigned z = 0; z < a.SizeZ; ++z)
    for (unsigned y = 0; y < a.SizeY; ++y) {
      const std::size_t i = a.Cells.At(0, y, z), j = b.Cells.At(0, y, z);
      if (std::memcmp(a.Cells.Colours + i, b.Cells.Colours + j, a.SizeX) != 0 ||
          std::memcmp(a.Cells.Normals + i, b.Cells.Normals + j, a.SizeX) != 0)
        return false;
    }
  return true;
}

TVoxelModel::TVoxelModel() : sections_(1) {}
TVoxelModel::~TVoxelModel() = default;

SectionValues TVoxelModel::EditedValues() const {
  SectionValues v;
  v.Name = Name;
  v.SizeX = SizeX;
  v.SizeY = SizeY;
  v.SizeZ = SizeZ;
  v.NormalType = NormalType;
  v.Tailer = Tailer;
  v.Header = SectionHeader;
  return v;
}

void TVoxelModel::SelectSection(std::size_t index) {
  if (index >= sections_.size() || index == edited_) return;
  // The only allocations come first: if one fails, nothing has changed.
  VoxelSection out = VoxelSection::FromPlanes(EditedValues(), GridPlanes(Colours, Normals));
  VoxelSection& in = sections_[index];
  in.CopyCellsTo({Colours.data(), Normals.data(), GridSide, LayerCells});
  Name = in.Name;
  SizeX = in.SizeX;
  SizeY = in.SizeY;
  SizeZ = in.SizeZ;
  NormalType = in.NormalType;
  Tailer = in.Tailer;
  SectionHeader = in.Header;
  in = VoxelSection();
  sections_[edited_] = std::move(out);
  edited_ = index;
}

SectionView TVoxelModel::Section(std::size_t index) const {
  if (index != edited_ && index < sections_.size()) return sections_[index].View();
  SectionView view;
  static_cast<SectionValues&>(view) = EditedValues();
  view.Cells = GridPlanes(Colours, Normals);
  return view;
}

SectionValues TVoxelModel::Values(std::size_t index) const {
  if (index != edited_ && index < sections_.size()) return sections_[index];
  return EditedValues();
}

const VoxelSection* TVoxelModel::KeptSection(std::size_t index) const {
  return index != edited_ && index < sections_.size() ? &sections_[index] : nullptr;
}

VoxelSection TVoxelModel::CopySection(std::size_t index) const {
  if (index != edited_ && index < sections_.size()) return sections_[index].Copy();
  return VoxelSection::FromPlanes(EditedValues(), GridPlanes(Colours, Normals));
}

void TVoxelModel::InsertSection(std::size_t at, VoxelSection section) {
  at = std::min(at, sections_.size());
  sections_.insert(sections_.begin() + std::ptrdiff_t(at), std::move(section));
  if (at <= edited_) ++edited_;
}

VoxelSection TVoxelModel::TakeSection(std::size_t index) {
  if (sections_.size() < 2 || index >= sections_.size()) return {};
  if (index == edited_) SelectSection(index + 1 < sections_.size() ? index + 1 : index - 1);
  VoxelSection s = std::move(sections_[index]);
  sections_.erase(sections_.begin() + std::ptrdiff_t(index));
  if (index < edited_) --edited_;
  return s;
}

void TVoxelModel::MoveSection(std::size_t from, std::size_t to) {
  if (from >= sections_.size() || to >= sections_.size() || from == to) return;
  const auto f = sections_.begin() + std::ptrdiff_t(from);
  const auto t = sections_.begin() + std::ptrdiff_t(to);
  if (from < to)
    std::rotate(f, f + 1, t + 1);
  else
    std::rotate(t, f, f + 1);
  if (edited_ == from)
    edited_ = to;
  else if (from < edited_ && edited_ <= to)
    --edited_;
  else if (to <= edited_ && edited_ < from)
    ++edited_;
}

void TVoxelModel::Swap(TVoxelModel& other) noexcept {
  std::swap(SizeX, other.SizeX);
  std::swap(SizeY, other.SizeY);
  std::swap(SizeZ, other.SizeZ);
  std::swap(NormalType, other.NormalType);
  Colours.Swap(other.Colours);
  Normals.Swap(other.Normals);
  std::swap(Palette, other.Palette);
  std::swap(Name, other.Name);
  std::swap(Tailer, other.Tailer);
  std::swap(SectionHeader, other.SectionHeader);
  std::swap(FileHeader, other.FileHeader);
  sections_.swap(other.sections_);
  std::swap(edited_, other.edited_);
}

void TVoxelModel::KeepOnlyEditedSection() {
  sections_.clear();
  sections_.resize(1);
  edited_ = 0;
}

void TVoxelModel::AdoptSections(std::vector<VoxelSection> sections) {
  if (sections.empty()) sections.resize(1);
  sections_ = std::move(sections);
  sections_[0].Cells.reset();
  edited_ = 0;
}
