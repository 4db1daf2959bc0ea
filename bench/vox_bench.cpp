// Import and export of a MagicaVoxel model of 850,170 voxels: a 255 x 255 x 13 slab with
// 19 rows of a 14th layer on top, imported as it reads and with its normals computed as
// every import computes them.
// The files live in KOBALTINE_BENCH_DIR when set, else in the system's temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/FileFormats.h"
#include "model/NewModel.h"

namespace {

struct Slab {
  std::unique_ptr<TVoxelModel> model = std::make_unique<TVoxelModel>();
  std::string path, savePath;
  double voxels = 0;
  const FileFormat* format = FormatForPath(".vox");

  Slab() {
    ResetNewModel(*model, 255, 255, 14);
    for (unsigned z = 0; z < 14; ++z)
      for (unsigned y = 0; y < (z < 13 ? 255u : 19u); ++y)
        for (unsigned x = 0; x < 255; ++x) {
          model->Colours.at(x, y, z) = std::uint8_t(1 + (x * 3 + y * 5 + z * 7) % 255);
          ++voxels;
        }
    const char* dir = std::getenv("KOBALTINE_BENCH_DIR");
    const std::filesystem::path base =
        dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    path = (base / ("kobaltine-bench-slab-" + std::to_string(::getpid()) + ".vox")).string();
    savePath = path + ".saved.vox";
    if (!format || !format->Write(path, *model)) std::abort();
  }
  ~Slab() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::filesystem::remove(savePath, ec);
  }
};

Slab& TheSlab() {
  static Slab slab;
  return slab;
}

void Import(benchmark::State& state, bool normals) {
  Slab& s = TheSlab();
  auto target = std::make_unique<TVoxelModel>();
  for (auto _ : state) {
    if (ReadWith(*s.format, s.path, *target, {2, normals, DefaultSmoothing}) != nullptr)
      std::abort();
    benchmark::DoNotOptimize(target->Normals.data());
  }
  state.counters["voxels"] = s.voxels;
}

void BM_VoxImportSlab(benchmark::State& state) {
  Import(state, false);
}

void BM_VoxImportSlabWithNormals(benchmark::State& state) {
  Import(state, true);
}

void BM_VoxExportSlab(benchmark::State& state) {
  Slab& s = TheSlab();
  for (auto _ : state)
    if (!s.format->Write(s.savePath, *s.model)) std::abort();
  state.counters["voxels"] = s.voxels;
}

BENCHMARK(BM_VoxImportSlab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoxImportSlabWithNormals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoxExportSlab)->Unit(benchmark::kMillisecond);

}  // namespace
