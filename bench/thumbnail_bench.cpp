// A file manager's thumbnail of a real model: the lit cameo render, cut to the voxels and
// enlarged to fit 256 x 256, as vxltool thumbnail makes it before the PNG encoding.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "model/VxlReader.h"
#include "view3d/Thumbnail.h"

namespace {

void BM_ThumbnailRealModel(benchmark::State& state) {
  const std::string path = std::string(KOBALTINE_FIXTURES) + "/cc.vxl";
  auto m = std::make_unique<TVoxelModel>();
  if (!std::filesystem::exists(path) || ReadVoxelFile(path, *m) != LoadStatus::Ok) {
    state.SkipWithError("no cc.vxl among the fixtures");
    return;
  }
  auto buffers = std::make_unique<View3DBuffers>();
  PixelBuffer picture;
  for (auto _ : state) {
    RenderThumbnail(*m, int(state.range(0)), *buffers, picture);
    benchmark::DoNotOptimize(picture.Data());
  }
  state.counters["width"] = picture.Width();
  state.counters["height"] = picture.Height();
}

BENCHMARK(BM_ThumbnailRealModel)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace
