#pragma once
// A file holds one or more sections, each with its own extent, cells, name, normal
// version and tailer values. The section being edited lives in the model's grids and
// fields; every other one is kept here, in a buffer of its extent's cells only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/PackedCells.h"

constexpr std::size_t TailerValueCount = 19;
// The most sections a file may hold.
constexpr std::size_t MaxSections = 512;
// Raw 32-bit patterns so that every value survives a load-save cycle bit for bit.
using TailerValues = std::array<std::uint32_t, TailerValueCount>;

// The three values of a section's header after its name. The number is kept as read,
// but the writer numbers sections by their place; the other two are written back as
// read. A section made here gets 0, 1, 0.
struct SectionHeaderValues {
  std::uint32_t Number = 0;
  std::uint32_t Value1 = 1;
  std::uint32_t Value2 = 0;
  bool operator==(const SectionHeaderValues&) const = default;
};

// Values of the file header that the editor does not use, written back as read: the
// 32-bit value at offset 16 and the palette range bytes at 32 and 33.
struct FileHeaderValues {
  std::uint32_t Value16 = 1;
  std::uint8_t RangeFirst = 16;
  std::uint8_t RangeLast = 31;
  bool operator==(const FileHeaderValues&) const = default;
};

// Everything of a section but its cells.
struct SectionValues {
  std::array<std::uint8_t, 16> Name{};
  std::uint8_t SizeX = 0, SizeY = 0, SizeZ = 0, NormalType = 0;
  TailerValues Tailer{};
  SectionHeaderValues Header;
  bool operator==(const SectionValues&) const = default;
  std::size_t CellCount() const { return std::size_t(SizeX) * SizeY * SizeZ; }
};

// Two planes of cells, colours and normals, at (x, y, z) = base + x + y * RowStride +
// z * LayerStride. The grids have strides 256 and 65,536; a kept section its extent's.
struct CellPlanes {
  std::uint8_t* Colours = nullptr;
  std::uint8_t* Normals = nullptr;
  std::size_t RowStride = 0, LayerStride = 0;
  std::size_t At(unsigned x, unsigned y, unsigned z) const {
    return x + y * RowStride + z * LayerStride;
  }
};
struct ConstCellPlanes {
  const std::uint8_t* Colours = nullptr;
  const std::uint8_t* Normals = nullptr;
  std::size_t RowStride = 0, LayerStride = 0;
  ConstCellPlanes() = default;
  ConstCellPlanes(const std::uint8_t* c, const std::uint8_t* n, std::size_t row, std::size_t layer)
      : Colours(c), Normals(n), RowStride(row), LayerStride(layer) {}
  ConstCellPlanes(const CellPlanes& p)  // NOLINT: a writable view reads as well
      : Colours(p.Colours),
        Normals(p.Normals),
        RowStride(p.RowStride),
        LayerStride(p.LayerStride) {}
  std::size_t At(unsigned x, unsigned y, unsigned z) const {
    return x + y * RowStride + z * LayerStride;
  }
};

// Any section read without making it the edited one: its values and its cells. A kept
// section stored as spans is decoded into a buffer the view owns.
struct SectionView : SectionValues {
  ConstCellPlanes Cells;
  std::shared_ptr<const std::uint8_t[]> Owned;
  std::uint8_t Colour(unsigned x, unsigned y, unsigned z) const {
    return Cells.Colours[Cells.At(x, y, z)];
  }
  std::uint8_t Normal(unsigned x, unsigned y, unsigned z) const {
    return Cells.Normals[Cells.At(x, y, z)];
  }
};

// A section that is not being edited: its values and its cells, in whichever of two
// forms is smaller. Mostly empty sections (and a file may declare many huge empty ones)
// are kept as encoded columns, which cost memory by the voxels they hold; full ones as
// the colours of the extent (x fastest, then y, then z) followed by the normals in the
// same order, which switch into the grids by plain copies.
struct VoxelSection : SectionValues {
  std::unique_ptr<std::uint8_t[]> Cells;  // the full form, or null
  PackedCells Packed;                     // the encoded form, when Cells is null

  // An empty (all cells zero) section of the values' extent.
  static VoxelSection Empty(const SectionValues& values);
  // The same, in the full form, for a caller that fills Cells itself.
  static VoxelSection Dense(const SectionValues& values);
  // The extent's cells of planes, in the smaller form.
  static VoxelSection FromPlanes(const SectionValues& values, const ConstCellPlanes& planes);
  // The values and encoded columns the caller built, turned full when that is smaller.
  static VoxelSection FromPacked(const SectionValues& values, PackedCells packed);
  VoxelSection Copy() const;

  // Every cell of the extent into planes.
  void CopyCellsTo(const CellPlanes& planes) const;
  std::size_t Bytes() const { return Cells ? 2 * CellCount() : Packed.Bytes(); }
  SectionView View() const;
};

// Both sections hold the same values and the same cells inside their extent.
bool SameSection(const SectionView& a, const SectionView& b);
