// Computed normals: the whole step on a real model and on the largest dense one, and
// the sphere measure (mean angle to the true normals over the best the set allows) of
// the estimate beside a plain occupancy gradient, reported as counters.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "model/VxlReader.h"
#include "tests/model/SurfaceMeasure.h"

namespace {

void BM_CalculateNormalsRealModel(benchmark::State& state) {
  const std::string path = std::string(KOBALTINE_FIXTURES) + "/cc.vxl";
  auto m = std::make_unique<TVoxelModel>();
  if (!std::filesystem::exists(path) || ReadVoxelFile(path, *m) != LoadStatus::Ok) {
    state.SkipWithError("no cc.vxl among the fixtures");
    return;
  }
  for (auto _ : state) {
    NormalsResult r = CalculateNormals(*m, ModelBox(*m), int(state.range(0)));
    benchmark::DoNotOptimize(r.Step.get());
    state.PauseTiming();
    if (r.Step) r.Step->Revert(*m);
    state.ResumeTiming();
  }
  // Every step was taken back: the model holds its author's normals again.
  const Agreement a = CompareWithModel(*m, EstimatedNormals(*m, int(state.range(0))));
  state.counters["same_%"] = 100.0 * double(a.Same) / double(a.Voxels);
  state.counters["mean_deg"] = a.MeanAngle;
}

void BM_CalculateNormalsDense255(benchmark::State& state) {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 255, 255, 255);
  m->NormalType = 4;
  for (int z = 0; z < 255; ++z)
    for (int y = 0; y < 255; ++y)
      std::memset(&m->Colours.at(0, unsigned(y), unsigned(z)), 1 + (y + z) % 200, 255);
  for (auto _ : state) {
    NormalsResult r = CalculateNormals(*m, ModelBox(*m), int(state.range(0)));
    benchmark::DoNotOptimize(r.Step.get());
    state.PauseTiming();
    if (r.Step) r.Step->Revert(*m);
    r.Step.reset();
    state.ResumeTiming();
  }
}

// range(0): sphere radius, range(1): normal version, range(2): smoothing radius (0:
// the plain gradient over 3 cells).
void BM_SphereMeasure(benchmark::State& state) {
  auto m = std::make_unique<TVoxelModel>();
  MakeSolidSphere(*m, int(state.range(0)), int(state.range(1)));
  SphereMeasure s;
  for (auto _ : state) {
    const int radius = int(state.range(2));
    s = MeasureSphere(*m, int(state.range(0)),
                      radius ? EstimatedNormals(*m, radius) : PlainGradientNormals(*m, 3));
  }
  state.counters["ratio"] = s.MeanAngle / s.FloorAngle;
  state.counters["mean_deg"] = s.MeanAngle;
}

}  // namespace

BENCHMARK(BM_CalculateNormalsRealModel)
    ->DenseRange(MinSmoothing, MaxSmoothing)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CalculateNormalsDense255)
    ->DenseRange(MinSmoothing, MaxSmoothing)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SphereMeasure)
    ->ArgNames({"sphere", "version", "smoothing"})
    ->ArgsProduct({{10, 20, 40}, {4, 2}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
