#pragma once
// Columns of cells as the file stores them: runs of voxels, each after a count of empty
// cells. The writer encodes with it, and sections that are not being edited are kept in
// this form (PackedCells).

#include <cstddef>
#include <cstdint>

#include "model/PackedCells.h"
#include "model/VoxelSection.h"

// The most bytes one column of at most 255 cells encodes to: 128 spans of a voxel each
// (5 bytes) and a closing span.
constexpr std::size_t ColumnSpanMax = 1024;

// Column cells colour | normal << 8, z from 0, into spans at out (room for
// ColumnSpanMax bytes); returns the bytes written, 0 for a column without voxels. The
// cells array is read up to seven cells past sizeZ, which the padded pair rows hold.
std::size_t EncodeColumn(const std::uint16_t* cells, unsigned sizeZ, std::uint8_t* out);

// Spans made by EncodeColumn back into the column's cells col[0 .. sizeZ).
void DecodeEncodedColumn(const std::uint8_t* spans, std::size_t length, unsigned sizeZ,
                         std::uint16_t* col);

// The extent's cells of planes, encoded.
PackedCells EncodePlanes(const ConstCellPlanes& planes, unsigned sizeX, unsigned sizeY,
                         unsigned sizeZ);
// Every cell of the extent into planes, empty ones included.
void DecodePlanes(const PackedCells& packed, const CellPlanes& planes, unsigned sizeX,
                  unsigned sizeY, unsigned sizeZ);
