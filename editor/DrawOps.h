#pragma once
// The drawing operations on one layer of a grid, in the plane of any orientation.

#include <array>
#include <cstdint>

#include "editor/Orientation.h"
#include "model/VoxelModel.h"

// Inclusive rectangle on layer z; the caller keeps it inside the extent.
void FillRectOnLayer(VoxelGrid& grid, int x0, int y0, int x1, int y1, int z, std::uint8_t value);

// Inclusive rectangle of plane cells on one layer, corners in any order, cut to the plane.
void FillRectOnPlane(VoxelGrid& grid, const PlaneMap& plane, int u0, int v0, int u1, int v1,
                     int layer, std::uint8_t value);

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

// The same on the plane of one layer in the map's orientation, from plane cell (u, v).
bool FloodFillPlane(VoxelGrid& grid, const PlaneMap& plane, int layer, int startU, int startV,
                    std::uint8_t value, FloodFillWork& work);
