#pragma once
// Computed normals: every coloured voxel gets the normal of its model's set nearest to
// the outward direction of the surface around it.

#include <memory>
#include <vector>

#include "model/CellPatch.h"

// The smoothing radius: how far around a voxel the surface is looked at.
constexpr int MinSmoothing = 1;
constexpr int MaxSmoothing = 5;
// The default follows round shapes most closely with both normal sets.
constexpr int DefaultSmoothing = 5;

enum class NormalsStatus {
  Done,         // the step holds the changes; null when every normal was right already
  NoNormalSet,  // the model's NormalType is neither 2 nor 4: nothing changed
};

struct NormalsResult {
  NormalsStatus Status = NormalsStatus::Done;
  std::unique_ptr<CellPatch> Step;  // "Calculate Normals"
};

// Sets the normal of every voxel of area (cut to the extent) whose colour is not 0, as
// one step of the edit history. The surface is the boundary between cells of colour
// not 0 and the rest, the cells beyond the extent counting as empty; the direction is
// the gradient of that occupancy smoothed with a Gaussian (sigma radius / 2, reaching
// radius cells along each axis, radius cut to 1..5), in exact integer arithmetic, so
// that a flat face gets exactly its own direction. Where that gradient cancels exactly
// (the middle of a wall one cell thick, a rod, a lone voxel) a voxel with an empty face
// neighbour looks towards its open sides: the sum of the directions to its empty face
// neighbours, or where those cancel too, +z if the cell above is empty, else +x if the
// cell in +x is, else +y. A voxel walled in on all six sides with a cancelling gradient
// (inside a solid) keeps its normal.
NormalsResult CalculateNormals(TVoxelModel& model, const CellBox& area,
                               int radius = DefaultSmoothing);

// The same estimate into a plain buffer, for measuring it: per cell of the extent
// (x + SizeX * (y + SizeY * z)) the table index, or -1 where there is no colour or no
// direction.
void EstimateNormalIndices(const TVoxelModel& model, int radius, std::vector<int>& indices);
