// vxltool info FILE...
#include <bit>
#include <cstdio>

#include "tools/PrintableText.h"
#include "tools/VxlTool.h"

namespace {

void PrintInfo(const TVoxelModel& model) {
  std::printf("sections: %zu\n", model.SectionCount());
  for (std::size_t i = 0; i < model.SectionCount(); ++i) {
    const SectionView s = model.Section(i);
    std::printf("section %zu\n", i);
    std::printf("name: %s\n", PrintableText(NameText(s.Name)).c_str());
    std::printf("size: %u %u %u\n", s.SizeX, s.SizeY, s.SizeZ);
    std::printf("normal version: %u\n", s.NormalType);
    std::printf("voxels: %zu\n", CountVoxels(s));
    std::printf("tailer:");
    for (std::size_t t = 0; t < TailerValueCount; ++t)
      std::printf(" %g", double(std::bit_cast<float>(s.Tailer[t])));
    std::printf("\n");
  }
}

}  // namespace

int RunInfo(std::span<char* const> args) {
  return ForEachModel("info", args, PrintInfo);
}
