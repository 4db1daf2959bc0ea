// The 3D view's render on the largest dense model, a hollow shell of the same size and
// a small everyday model, at the basic view and the cameo angles; the plain reference
// render on the same inputs for comparison; and the lit picture. Each case first checks that both
// renders agree bit for bit. RenderView takes the widest vector path the processor runs.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include "tests/view3d/ReferenceRender.h"
#include "view3d/RenderPaths.h"
#include "view3d/Renderer3D.h"

namespace {

enum Shape { Dense255, Shell255, Small };

const TVoxelModel& ModelOf(Shape shape) {
  static std::unique_ptr<TVoxelModel> models[3];
  std::unique_ptr<TVoxelModel>& m = models[shape];
  if (m) return *m;
  m = std::make_unique<TVoxelModel>();
  std::memset(m->Colours.data(), 0, GridCells);
  const int side = shape == Small ? 0 : 255;
  m->SizeX = std::uint8_t(shape == Small ? 69 : side);
  m->SizeY = std::uint8_t(shape == Small ? 39 : side);
  m->SizeZ = std::uint8_t(shape == Small ? 17 : side);
  for (int k = 0; k < m->SizeZ; ++k)
    for (int j = 0; j < m->SizeY; ++j)
      for (int i = 0; i < m->SizeX; ++i) {
        const bool surface =
            i == 0 || j == 0 || k == 0 || i == side - 1 || j == side - 1 || k == side - 1;
        if (shape != Shell255 || surface)
          m->Colours.at(i, j, k) = std::uint8_t(1 + (i * 7 + j * 13 + k * 29) % 255);
        m->Normals.at(i, j, k) = std::uint8_t((i * 3 + j * 5 + k * 11) % 244);
      }
  for (int n = 0; n < 256; ++n) m->Palette[n] = PackRGB(n, 255 - n, n / 2);
  m->NormalType = 4;
  return *m;
}

constexpr Pixel Background = 0xFFD4D0C8u;

std::int16_t SpanOf(const TVoxelModel& m) {
  const int side = std::max({m.SizeX, m.SizeY, m.SizeZ});
  return std::int16_t(std::ceil(side * 1.7320508076));
}

bool SameRender(RenderPath path, const TVoxelModel& m, int ax, int ay, int az, bool lit) {
  auto fast = std::make_unique<View3DBuffers>();
  auto plain = std::make_unique<View3DBuffers>();
  fast->ViewBitmap.Fill(0);
  plain->ViewBitmap.Fill(0);
  RenderViewWith(path, m, ax, ay, az, SpanOf(m), Background, *fast, lit);
  reference::Render(m, ax, ay, az, SpanOf(m), Background, *plain, lit);
  const int h = SpanOf(m) / 2;
  for (int r = 223 - h; r <= 223 + h; ++r)
    for (int c = 223 - h; c <= 223 + h; ++c) {
      const int p = c + ViewSide * r;
      if (fast->ViewIndexBuffer[p] != plain->ViewIndexBuffer[p] ||
          std::bit_cast<std::uint32_t>(fast->DepthBuffer[p]) !=
              std::bit_cast<std::uint32_t>(plain->DepthBuffer[p]))
        return false;
    }
  return std::memcmp(fast->ViewBitmap.Data(), plain->ViewBitmap.Data(),
                     sizeof(Pixel) * ViewCells) == 0;
}

enum Renderer { Widest, WidestLit, Portable, Reference };

template <Renderer Which>
void BM_Render(benchmark::State& state) {
  const TVoxelModel& m = ModelOf(Shape(state.range(0)));
  const int ax = int(state.range(1)), ay = int(state.range(2)), az = int(state.range(3));
  const RenderPath path = Which == Portable ? RenderPath::Portable : WidestRenderPath();
  if (!SameRender(path, m, ax, ay, az, Which == WidestLit)) {
    state.SkipWithError("the render differs from the plain formulas");
    return;
  }
  state.SetLabel(Which == Reference             ? "plain formulas"
                 : Which == WidestLit           ? "lit"
                 : path == RenderPath::Portable ? "portable"
                 : path == RenderPath::Wide4    ? "4 lanes"
                                                : "8 lanes");
  auto buffers = std::make_unique<View3DBuffers>();
  for (auto _ : state) {
    if (Which == Reference)
      reference::Render(m, ax, ay, az, SpanOf(m), Background, *buffers);
    else if (Which == Portable)
      RenderViewWith(RenderPath::Portable, m, ax, ay, az, SpanOf(m), Background, *buffers);
    else
      RenderView(m, ax, ay, az, SpanOf(m), Background, *buffers, Which == WidestLit);
    benchmark::DoNotOptimize(buffers->ViewIndexBuffer.get());
    benchmark::ClobberMemory();
  }
}

void Cases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"shape", "ax", "ay", "az"});
  for (int shape : {Dense255, Shell255, Small}) {
    b->Args({shape, 0, 0, 0});
    b->Args({shape, 219, 228, 109});
  }
  b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

}  // namespace

BENCHMARK(BM_Render<Widest>)->Name("RenderView")->Apply(Cases);
// Lit by the normals of the second set.
BENCHMARK(BM_Render<WidestLit>)->Name("RenderViewLit")->Apply(Cases);
// The path without wide vectors, for processors that lack them.
BENCHMARK(BM_Render<Portable>)->Name("RenderViewPortable")->Apply(Cases);
BENCHMARK(BM_Render<Reference>)->Name("ReferenceRender")->Apply(Cases);
