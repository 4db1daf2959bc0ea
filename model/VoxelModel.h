#pragma once
// The one document the editor works on: the file's palette and its sections of at most
// 255 x 255 x 255 cells each, one of them being edited.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "model/VoxelSection.h"

constexpr std::size_t GridSide = 256;
constexpr std::size_t GridCells = GridSide * GridSide * GridSide;  // 16 MiB
constexpr std::size_t LayerCells = GridSide * GridSide;            // one z plane

// x varies fastest and a layer is one contiguous block of 65,536 bytes.
constexpr std::size_t CellIndex(unsigned x, unsigned y, unsigned z) {
  return std::size_t(x) + (std::size_t(y) << 8) + (std::size_t(z) << 16);
}

constexpr bool IsEmptyCell(std::uint8_t colour, std::uint8_t normal) {
  return colour == 0 && normal == 0;
}

// A fixed cube of 256^3 bytes, allocated once and never resized, so that loading,
// New and every edit run without allocation whatever the model's extent.
class VoxelGrid {
 public:
  VoxelGrid();
  VoxelGrid(const VoxelGrid&) = delete;
  VoxelGrid& operator=(const VoxelGrid&) = delete;

  std::uint8_t& operator[](std::size_t i) { return cells_[i]; }
  std::uint8_t operator[](std::size_t i) const { return cells_[i]; }
  std::uint8_t& at(unsigned x, unsigned y, unsigned z) { return cells_[CellIndex(x, y, z)]; }
  std::uint8_t at(unsigned x, unsigned y, unsigned z) const { return cells_[CellIndex(x, y, z)]; }
  std::uint8_t* data() { return cells_; }
  const std::uint8_t* data() const { return cells_; }
  std::uint8_t* layer(unsigned z) { return cells_ + (std::size_t(z) << 16); }
  const std::uint8_t* layer(unsigned z) const { return cells_ + (std::size_t(z) << 16); }
  void Swap(VoxelGrid& other) noexcept {
    raw_.swap(other.raw_);
    std::swap(cells_, other.cells_);
  }

 private:
  struct FreeDelete {
    void operator()(std::uint8_t* p) const;
  };
  // Rows start on cache lines, so the file reader can stream whole lines into a layer.
  std::unique_ptr<std::uint8_t[], FreeDelete> raw_;
  std::uint8_t* cells_ = nullptr;  // raw_ moved up to the next cache line
};

// 256 colours packed red + 256*green + 65536*blue; bits 24-31 are always zero.
using PaletteRGB = std::array<std::int32_t, 256>;

constexpr std::int32_t PackRGB(unsigned r, unsigned g, unsigned b) {
  return std::int32_t((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr unsigned RedOf(std::int32_t c) {
  return unsigned(c) & 0xFF;
}
constexpr unsigned GreenOf(std::int32_t c) {
  return (unsigned(c) >> 8) & 0xFF;
}
constexpr unsigned BlueOf(std::int32_t c) {
  return (unsigned(c) >> 16) & 0xFF;
}
// A normal index n is shown as the grey n, n, n.
constexpr std::int32_t Grey(unsigned n) {
  return std::int32_t((n & 0xFF) * 65793u);
}

// The start-up palette: sixteen classic colours, then black.
PaletteRGB DefaultPalette();

// Indices into Tailer of the values the editor interprets.
enum TailerIndex : std::size_t {
  TailerScale = 0,
  TailerXOffset = 4,
  TailerYOffset = 8,
  TailerZOffset = 12,
  TailerXMinimum = 13,
  TailerYMinimum = 14,
  TailerZMinimum = 15,
  TailerXMaximum = 16,
  TailerYMaximum = 17,
  TailerZMaximum = 18,
};

// The grids and the fields from SizeX to Tailer hold the edited section, so that every
// window and tool works on it alone; the palette and the header values belong to the file.
struct TVoxelModel {
  TVoxelModel();
  ~TVoxelModel();
  TVoxelModel(const TVoxelModel&) = delete;
  TVoxelModel& operator=(const TVoxelModel&) = delete;

  std::uint8_t SizeX = 0;
  std::uint8_t SizeY = 0;
  std::uint8_t SizeZ = 0;
  std::uint8_t NormalType = 0;
  VoxelGrid Colours;
  VoxelGrid Normals;
  PaletteRGB Palette = DefaultPalette();
  std::array<std::uint8_t, 16> Name{};
  TailerValues Tailer{};
  SectionHeaderValues SectionHeader;  // of the edited section
  FileHeaderValues FileHeader;

  bool IsOpen() const { return SizeX != 0 && SizeY != 0 && SizeZ != 0; }
  bool IsVoxel(unsigned x, unsigned y, unsigned z) const {
    const std::size_t i = CellIndex(x, y, z);
    return !IsEmptyCell(Colours[i], Normals[i]);
  }
  float TailerFloat(std::size_t index) const;
  void SetTailerFloat(std::size_t index, float value);

  // The sections, numbered from 0 in file order; there is always at least one.
  std::size_t SectionCount() const { return sections_.size(); }
  std::size_t EditedSection() const { return edited_; }
  // Makes another section the edited one; the one edited so far is kept exactly. An
  // index out of range changes nothing.
  void SelectSection(std::size_t index);
  // Any section's values and cells, without switching (an index out of range gives the
  // edited one, whose cells are the grids'). A kept section's cells may be decoded into
  // a buffer of the view's own: for the values alone, Values is cheaper. A view holds
  // while no section is switched, added or removed.
  SectionView Section(std::size_t index) const;
  SectionValues EditedValues() const;
  // A section's values alone, without decoding its cells.
  SectionValues Values(std::size_t index) const;
  // A section that is not the edited one, as it is kept; null for the edited one.
  const VoxelSection* KeptSection(std::size_t index) const;
  VoxelSection CopySection(std::size_t index) const;

  // The section list. A section comes in at index at (0 to SectionCount()) and is not
  // edited; the edited one stays the edited one wherever it moves.
  void InsertSection(std::size_t at, VoxelSection section);
  // Takes a section out; never the only one. When it is the edited one, the section
  // after it (or else the one before) becomes the edited one first.
  VoxelSection TakeSection(std::size_t index);
  void MoveSection(std::size_t from, std::size_t to);
  // Forgets every section but the edited one, which becomes section 0.
  void KeepOnlyEditedSection();
  // Trades everything, grids included, with other; allocates nothing.
  void Swap(TVoxelModel& other) noexcept;
  // For the reader: sections[0] comes in the grids and fields, which the caller has
  // already set; the others are kept as they are. sections must not be empty.
  void AdoptSections(std::vector<VoxelSection> sections);

 private:
  // sections_[edited_] holds nothing: that section lives in the grids and fields.
  std::vector<VoxelSection> sections_;
  std::size_t edited_ = 0;
};

// The text of a 16-byte name: the bytes up to the first zero, or all 16.
std::string NameText(const std::array<std::uint8_t, 16>& name);
// Stores text (at most 16 bytes used) and a terminating zero when shorter than 16;
// the bytes after the terminator keep their previous content.
void StoreNameText(std::array<std::uint8_t, 16>& name, const std::string& text);

// Document state kept beside the model.
struct TDocumentState {
  std::string FilePath;
  std::string FileTitle;
  bool Untitled = false;
  bool Modified = false;
};

// The part of a path after its last separator ('/' or '\'), or the whole path.
std::string FileTitleOf(const std::string& path);
