#pragma once
// The drawing operations on one layer of a grid.

#include <array>
#include <cstdint>

#include "model/VoxelModel.h"

// Inclusive rectangle on layer z; the caller keeps it inside the extent.
void FillRectOnLayer(VoxelGrid& grid, int x0, int y0, int x1, int y1, int z, std::uint8_t value);

// Fixed working memory of the flood fill, allocated once with the main window.
struct FloodFillWork {
  std::array<std::uint8_t, LayerCells> MarkPlane{};
  std::array<std::uint16_t, LayerCells> Stack{};
};

// The 4-connected region of cells on layer z, inside sizeX x sizeY, that hold the start
// cell's value takes value. Linear in the region's size, no allocation.
// Returns false when the start cell already holds value (nothing changes).
bool FloodFillLayer(VoxelGrid& grid, int sizeX, int sizeY, int z, int startX, int startY,
                    std::uint8_t value, FloodFillWork& work);
