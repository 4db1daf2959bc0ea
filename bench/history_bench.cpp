// The edit history on whole layers: taking back and making again a fill of a whole
// 255 x 255 layer, recording a 1,000-cell pen stroke, and the memory that 200
// whole-layer steps hold.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>

#include "editor/DrawOps.h"
#include "model/CellPatch.h"
#include "model/EditHistory.h"
#include "model/NewModel.h"

namespace {

std::unique_ptr<TVoxelModel> LayerModel() {
  auto m = std::make_unique<TVoxelModel>();
  ResetNewModel(*m, 255, 255, 8);
  return m;
}

std::unique_ptr<EditStep> FillLayer(TVoxelModel& m, int z, std::uint8_t value) {
  CellEdit edit(m, LayerBox(m, z), "Flood fill");
  FloodFillWork work;
  FloodFillLayer(edit.Grid(GridKind::Colours), m.SizeX, m.SizeY, z, 0, 0, value, work);
  return edit.Finish();
}

// First, so that what the process grows by is this benchmark's alone.
double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / double(1 << 20);
}

// 200 whole-layer steps: what the history counts, and how far the process grew.
void BM_TwoHundredWholeLayerSteps(benchmark::State& state) {
  auto m = LayerModel();
  double held = 0, grown = 0;
  for (auto _ : state) {
    const double before = ResidentMiB();
    EditHistory history;
    for (int i = 0; i < 200; ++i) history.Record(FillLayer(*m, i % 8, std::uint8_t(i % 250 + 1)));
    held = double(history.Bytes()) / double(1 << 20);
    grown = ResidentMiB() - before;
    benchmark::DoNotOptimize(history.Count());
    history.Clear();
    malloc_trim(0);  // each repetition starts from what the process held before
  }
  state.counters["history_MiB"] = held;
  state.counters["resident_growth_MiB"] = grown;
}
BENCHMARK(BM_TwoHundredWholeLayerSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

template <bool Undo>
void LayerFillStep(benchmark::State& state) {
  auto m = LayerModel();
  EditHistory history;
  history.Record(FillLayer(*m, 3, 77));
  for (auto _ : state) {
    if (!Undo) history.Undo(*m);
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Undo ? history.Undo(*m) : history.Redo(*m));
    const auto stop = std::chrono::steady_clock::now();
    if (Undo) history.Redo(*m);
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
}
void BM_UndoWholeLayerFill(benchmark::State& state) {
  LayerFillStep<true>(state);
}
void BM_RedoWholeLayerFill(benchmark::State& state) {
  LayerFillStep<false>(state);
}
BENCHMARK(BM_UndoWholeLayerFill)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoWholeLayerFill)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A stroke from press to release across the layer: 1,000 cells zigzagging over it.
void BM_RecordPenStroke1000(benchmark::State& state) {
  auto m = LayerModel();
  EditHistory history;
  std::uint8_t value = 1;
  for (auto _ : state) {
    CellEdit stroke(*m, LayerBox(*m, 2), "Pen stroke");
    for (int i = 0; i < 1000; ++i) stroke.Set(GridKind::Colours, (i * 7) % 255, i / 4, 2, value);
    history.Record(stroke.Finish());
    ++value;
    if (value == 0) value = 1;
  }
}
BENCHMARK(BM_RecordPenStroke1000)->Unit(benchmark::kMicrosecond);

}  // namespace
