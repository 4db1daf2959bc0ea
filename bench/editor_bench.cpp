// The slice render of a dense model and the flood fill of a winding region.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "editor/DrawOps.h"
#include "tests/editor/PassFill.h"
#include "editor/SliceRender.h"
#include "editor/VolumeFill.h"

namespace {

// Every cell of a 255^3 model is a voxel, with colours and normals that vary from cell to
// cell, so that neither the planes nor the tables can take a shortcut.
const TVoxelModel& DenseModel() {
  static const std::unique_ptr<TVoxelModel> model = [] {
    auto m = std::make_unique<TVoxelModel>();
    m->SizeX = m->SizeY = m->SizeZ = 255;
    for (unsigned z = 0; z < 255; ++z)
      for (unsigned y = 0; y < 255; ++y)
        for (unsigned x = 0; x < 255; ++x) {
          m->Colours.at(x, y, z) = std::uint8_t(1 + (x * 7 + y * 13 + z * 29) % 255);
          m->Normals.at(x, y, z) = std::uint8_t(1 + (x * 11 + y * 3 + z * 17) % 244);
        }
    for (int i = 0; i < 256; ++i) m->Palette[i] = PackRGB(i, 255 - i, (i * 5) & 0xFF);
    return m;
  }();
  return *model;
}

// Only the six faces of the cube hold voxels: most cells of a middle layer are empty and
// their underlay search runs through half the model.
const TVoxelModel& ShellModel() {
  static const std::unique_ptr<TVoxelModel> model = [] {
    auto m = std::make_unique<TVoxelModel>();
    m->SizeX = m->SizeY = m->SizeZ = 255;
    for (unsigned z = 0; z < 255; ++z)
      for (unsigned y = 0; y < 255; ++y)
        for (unsigned x = 0; x < 255; ++x)
          if (x == 0 || y == 0 || z == 0 || x == 254 || y == 254 || z == 254) {
            m->Colours.at(x, y, z) = std::uint8_t(1 + (x * 7 + y * 13 + z * 29) % 255);
            m->Normals.at(x, y, z) = std::uint8_t(1 + (x * 11 + y * 3 + z * 17) % 244);
          }
    return m;
  }();
  return *model;
}

// The top layer of the dense model, the middle one of the shell, in each orientation.
void BM_RenderSlice(benchmark::State& state) {
  const bool shell = state.range(3) != 0;
  const TVoxelModel& model = shell ? ShellModel() : DenseModel();
  SliceViewState view;
  view.Orientation = SliceOrientation(state.range(0));
  view.Zoom = int(state.range(1));
  view.NormalsMode = state.range(2) != 0;
  view.CurrentLayer = shell ? 127 : 254;
  static SlicePlanes planes;
  PixelBuffer slice;
  RenderSlice(model, view, planes, slice);  // the buffer's one-time growth
  for (auto _ : state) {
    RenderSlice(model, view, planes, slice);
    benchmark::DoNotOptimize(slice.Data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RenderSlice)
    ->ArgNames({"orientation", "zoom", "normals", "shell"})
    ->ArgsProduct({{0, 1, 2}, {8, 16}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Normals shown by the colour of their direction: the same render with another table.
void BM_RenderSliceDirectionColours(benchmark::State& state) {
  static const std::unique_ptr<TVoxelModel> model = [] {
    auto m = std::make_unique<TVoxelModel>();
    m->SizeX = m->SizeY = m->SizeZ = 255;
    m->NormalType = 4;
    std::memcpy(m->Colours.data(), DenseModel().Colours.data(), GridCells);
    std::memcpy(m->Normals.data(), DenseModel().Normals.data(), GridCells);
    return m;
  }();
  SliceViewState view;
  view.Zoom = int(state.range(0));
  view.NormalsMode = true;
  view.DirectionColours = true;
  view.CurrentLayer = 254;
  static SlicePlanes planes;
  PixelBuffer slice;
  RenderSlice(*model, view, planes, slice);
  for (auto _ : state) {
    RenderSlice(*model, view, planes, slice);
    benchmark::DoNotOptimize(slice.Data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RenderSliceDirectionColours)
    ->ArgName("zoom")
    ->Arg(8)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);

// A one-cell-wide path of 1s snaking through walls of 2s over a 255 x 255 layer: full
// rows at even y joined at alternating ends. It starts at the bottom right and runs left,
// then up, so from there the region keeps growing leftwards and upwards.
constexpr int Side = 255;
constexpr int PathCells = 128 * Side + 127;

std::unique_ptr<VoxelGrid> SerpentineLayer() {
  auto g = std::make_unique<VoxelGrid>();
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x) g->at(x, y, 0) = (y % 2 == 0) ? 1 : 2;
  for (int y = Side - 2; y > 0; y -= 2) {
    const int turn = (Side - 2 - y) / 2;  // the turns count from the bottom
    g->at(turn % 2 == 0 ? 0 : Side - 1, y, 0) = 1;
  }
  return g;
}

int CountOf(const VoxelGrid& g, std::uint8_t v) {
  int n = 0;
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x) n += g.at(x, y, 0) == v;
  return n;
}

void BM_FloodFillSerpentine(benchmark::State& state) {
  auto g = SerpentineLayer();
  static FloodFillWork work;
  std::uint8_t value = 3;
  for (auto _ : state) {
    // Alternating the value refills the same path every time.
    FloodFillLayer(*g, Side, Side, 0, Side - 1, Side - 1, value, work);
    value = value == 3 ? 1 : 3;
  }
  if (CountOf(*g, value == 3 ? 1 : 3) != PathCells) state.SkipWithError("path not filled");
}
BENCHMARK(BM_FloodFillSerpentine)->Unit(benchmark::kMillisecond);

void BM_PassFillSerpentine(benchmark::State& state) {
  auto g = SerpentineLayer();
  std::vector<std::uint8_t> mark(LayerCells);
  std::uint8_t value = 3;
  for (auto _ : state) {
    PassFill(*g, Side, Side, 0, Side - 1, Side - 1, value, mark);
    value = value == 3 ? 1 : 3;
  }
  if (CountOf(*g, value == 3 ? 1 : 3) != PathCells) state.SkipWithError("path not filled");
}
BENCHMARK(BM_PassFillSerpentine)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every cell of a 255^3 model holds one colour, so the whole model is one region: the
// fill through its edit, which notes, compares and keeps all 16 million cells of both grids.
void BM_VolumeFillDense(benchmark::State& state) {
  static const std::unique_ptr<TVoxelModel> model = [] {
    auto m = std::make_unique<TVoxelModel>();
    m->SizeX = m->SizeY = m->SizeZ = 255;
    std::memset(m->Colours.data(), 5, GridCells);
    return m;
  }();
  static VolumeFillWork work;
  const bool regionOnly = state.range(0) != 0;
  for (auto _ : state) {
    const std::uint8_t value = model->Colours.at(100, 100, 100) == 5 ? 7 : 5;
    if (regionOnly) {
      benchmark::DoNotOptimize(FindVolumeRegion(*model, GridKind::Colours, 100, 100, 100, work));
      continue;
    }
    auto step = VolumeFill(*model, GridKind::Colours, 100, 100, 100, value, work);
    if (!step || step->Box().Cells() != 255u * 255u * 255u) state.SkipWithError("not filled");
  }
}
BENCHMARK(BM_VolumeFillDense)->ArgName("regiononly")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
