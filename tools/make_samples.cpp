// kobaltine_samples OUTDIR: writes the sample models with the project's own writer.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "model/VxlWriter.h"
#include "tools/SampleModels.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kobaltine_samples OUTDIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  struct Sample {
    const char* file;
    void (*make)(TVoxelModel&);
  };
  static constexpr Sample samples[] = {
      {"tank.vxl", MakeTank}, {"sphere.vxl", MakeSphere}, {"dot.vxl", MakeDot}};
  auto model = std::make_unique<TVoxelModel>();
  for (const Sample& s : samples) {
    s.make(*model);
    const std::string path = (dir / s.file).string();
    if (!WriteVoxelFile(path, *model)) {
      std::fprintf(stderr, "kobaltine_samples: could not write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
