#include "model/EditStep.h"

#include <algorithm>

CellBox& CellBox::operator|=(const CellBox& other) {
  if (other.Empty()) return *this;
  if (Empty()) return *this = other;
  X0 = std::min(X0, other.X0);
  Y0 = std::min(Y0, other.Y0);
  Z0 = std::min(Z0, other.Z0);
  X1 = std::max(X1, other.X1);
  Y1 = std::max(Y1, other.Y1);
  Z1 = std::max(Z1, other.Z1);
  return *this;
}

CellBox ModelBox(const TVoxelModel& model) {
  return {0, 0, 0, int(model.SizeX) - 1, int(model.SizeY) - 1, int(model.SizeZ) - 1};
}

CellBox LayerBox(const TVoxelModel& model, int z) {
  return {0, 0, z, int(model.SizeX) - 1, int(model.SizeY) - 1, z};
}

ChangeSet& ChangeSet::operator|=(const ChangeSet& other) {
  What |= other.What;
  Cells |= other.Cells;
  if (Section == FileWide) Section = other.Section;
  return *this;
}
