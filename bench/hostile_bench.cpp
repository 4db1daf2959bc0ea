// Small files that declare huge models: what opening them costs in time and in memory.
// The memory figure is the growth of the process's peak resident size over one open,
// measured once before the timed runs (Linux resets the peak through clear_refs).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/FileFormats.h"
#include "model/NewModel.h"
#include "model/VoxFile.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"

namespace {

// name's extension stays last: the readers go by it.
std::string TempPath(const std::string& stem, const std::string& extension) {
  return (std::filesystem::temp_directory_path() /
          ("kobaltine-bench-" + stem + "-" + std::to_string(::getpid()) + extension))
      .string();
}

// Peak resident size in KiB since the last reset, or -1 where the system cannot tell.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}
bool ResetPeak() {
  std::ofstream refs("/proc/self/clear_refs");
  refs << "5";
  return bool(refs.flush());
}

// The growth of the peak over one run of open, in MiB (at least a page, so that 0 is
// never a figure); negative when unmeasured.
template <typename Open>
double PeakGrowthMiB(Open&& open) {
  if (!ResetPeak()) return -1;
  const long before = PeakKiB();
  open();
  const long after = PeakKiB();
  return before < 0 || after < 0 ? -1 : double(std::max(after - before, 4L)) / 1024.0;
}

// 33 sections of 255^3 cells without a voxel: 17 MB of tables and nothing else.
const std::string& EmptySectionsFile() {
  static const std::string path = [] {
    auto m = std::make_unique<TVoxelModel>();
    ResetNewModel(*m, 255, 255, 255);
    for (int i = 1; i < 33; ++i) m->InsertSection(std::size_t(i), NewSection(255, 255, 255));
    const std::string p = TempPath("empty-sections", ".vxl");
    if (!WriteVoxelFile(p, *m)) std::abort();
    return p;
  }();
  return path;
}

// 32 models of 255^3 without a voxel: about 1,300 bytes.
const std::string& EmptyVoxModelsFile() {
  static const std::string path = [] {
    VoxScene scene;
    scene.Models.resize(32);
    for (VoxSceneModel& m : scene.Models) m.SizeX = m.SizeY = m.SizeZ = 255;
    scene.Palette = VoxDefaultPalette();
    const std::string p = TempPath("empty-models", ".vox");
    if (!WriteVoxFile(p, scene)) std::abort();
    return p;
  }();
  return path;
}

// The peak is that of the first open in the process: later ones reuse what it kept
// (the reader's spare model), which would hide it.
template <typename Open>
void Measure(benchmark::State& state, const std::string& path, double& firstPeak, Open&& open) {
  state.counters["file_bytes"] = double(std::filesystem::file_size(path));
  if (firstPeak == 0) firstPeak = PeakGrowthMiB(open);
  state.counters["peak_MiB"] = firstPeak;
  for (auto _ : state) open();
}

void BM_OpenEmptySections(benchmark::State& state) {
  auto model = std::make_unique<TVoxelModel>();
  const std::string& path = EmptySectionsFile();
  static double peak = 0;
  Measure(state, path, peak, [&] {
    if (ReadVoxelFile(path, *model) != LoadStatus::Ok) std::abort();
  });
}

void BM_ImportEmptyVoxModels(benchmark::State& state) {
  auto model = std::make_unique<TVoxelModel>();
  const std::string& path = EmptyVoxModelsFile();
  const FileFormat* format = FormatForPath(path);
  if (format == nullptr) std::abort();
  static double peak = 0;
  Measure(state, path, peak, [&] {
    if (ReadWith(*format, path, *model) != nullptr) std::abort();
  });
}

BENCHMARK(BM_OpenEmptySections)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportEmptyVoxModels)->Unit(benchmark::kMillisecond)->Iterations(3);

struct Cleanup {
  ~Cleanup() {
    std::error_code ignored;
    std::filesystem::remove(TempPath("empty-sections", ".vxl"), ignored);
    std::filesystem::remove(TempPath("empty-models", ".vox"), ignored);
  }
} cleanup;

}  // namespace
