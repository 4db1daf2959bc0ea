// vxltool info FILE...
#include <cstdio>

#include "tools/VxlTool.h"

namespace {

void PrintInfo(const TVoxelModel& model) {
  std::printf("name: %s\n", NameText(model.Name).c_str());
  std::printf("size: %u %u %u\n", model.SizeX, model.SizeY, model.SizeZ);
  std::printf("normal version: %u\n", model.NormalType);
  std::printf("voxels: %zu\n", CountVoxels(model));
  std::printf("tailer:");
  for (std::size_t i = 0; i < TailerValueCount; ++i)
    std::printf(" %g", double(model.TailerFloat(i)));
  std::printf("\n");
}

}  // namespace

int RunInfo(std::span<char* const> args) {
  return ForEachModel("info", args, PrintInfo);
}
