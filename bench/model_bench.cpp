// Loading and saving voxel files, beside the cost of merely reading the same file once.
// The files live in KOBALTINE_BENCH_DIR when set, else in the system's temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/NewModel.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"

namespace {

std::filesystem::path BenchDir() {
  const char* dir = std::getenv("KOBALTINE_BENCH_DIR");
  return dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
}

// Paths to remove at exit; never destroyed, so the clean-up below may use it last.
std::vector<std::string>& Created() {
  static auto* paths = new std::vector<std::string>;
  return *paths;
}

struct BenchFile {
  std::unique_ptr<TVoxelModel> model = std::make_unique<TVoxelModel>();
  std::string path;
  std::string savePath;
};

// Every cell of 255^3 a voxel: the largest span data a file can hold in one run each.
BenchFile& Dense() {
  static BenchFile f = [] {
    BenchFile b;
    ResetNewModel(*b.model, 255, 255, 255);
    for (unsigned z = 0; z < 255; ++z)
      for (unsigned y = 0; y < 255; ++y)
        for (unsigned x = 0; x < 255; ++x) {
          b.model->Colours.at(x, y, z) = std::uint8_t(1 + (x + y + z) % 255);
          b.model->Normals.at(x, y, z) = std::uint8_t((x * 7 + z) % 36);
        }
    b.path =
        (BenchDir() / ("kobaltine-bench-dense-" + std::to_string(::getpid()) + ".vxl")).string();
    b.savePath = b.path + ".saved.vxl";
    Created().push_back(b.path);
    Created().push_back(b.savePath);
    if (!WriteVoxelFile(b.path, *b.model)) std::abort();
    return b;
  }();
  return f;
}

// The size of a typical unit: 69 x 39 x 17 with a third of its cells filled.
BenchFile& Small() {
  static BenchFile f = [] {
    BenchFile b;
    ResetNewModel(*b.model, 69, 39, 17);
    std::mt19937 rng(1);
    for (unsigned z = 0; z < 17; ++z)
      for (unsigned y = 0; y < 39; ++y)
        for (unsigned x = 0; x < 69; ++x)
          if (rng() % 3 == 0) {
            b.model->Colours.at(x, y, z) = std::uint8_t(1 + rng() % 255);
            b.model->Normals.at(x, y, z) = std::uint8_t(rng() % 36);
          }
    b.path =
        (BenchDir() / ("kobaltine-bench-small-" + std::to_string(::getpid()) + ".vxl")).string();
    b.savePath = b.path + ".saved.vxl";
    Created().push_back(b.path);
    Created().push_back(b.savePath);
    if (!WriteVoxelFile(b.path, *b.model)) std::abort();
    return b;
  }();
  return f;
}

// A section of the given extent with a third of its cells filled.
VoxelSection FilledSection(unsigned sx, unsigned sy, unsigned sz, std::mt19937& rng) {
  SectionValues v;
  v.SizeX = std::uint8_t(sx);
  v.SizeY = std::uint8_t(sy);
  v.SizeZ = std::uint8_t(sz);
  v.NormalType = 2;
  VoxelSection s = VoxelSection::Dense(v);
  for (std::size_t i = 0; i < s.CellCount(); ++i)
    if (rng() % 3 == 0) {
      s.Cells[i] = std::uint8_t(1 + rng() % 255);
      s.Cells[s.CellCount() + i] = std::uint8_t(rng() % 36);
    }
  return VoxelSection::FromPlanes(s, s.View().Cells);  // kept as a loaded one would be
}

// Every cell a voxel, as in the dense model.
VoxelSection DenseSection() {
  SectionValues v;
  v.SizeX = v.SizeY = v.SizeZ = 255;
  v.NormalType = 2;
  return VoxelSection::FromPlanes(v, Dense().model->Section(0).Cells);
}

void Written(BenchFile& b, const char* name) {
  b.path = (BenchDir() /
            ("kobaltine-bench-" + std::string(name) + "-" + std::to_string(::getpid()) + ".vxl"))
               .string();
  b.savePath = b.path + ".saved.vxl";
  Created().push_back(b.path);
  Created().push_back(b.savePath);
  if (!WriteVoxelFile(b.path, *b.model)) std::abort();
}

// A walker of 13 sections, the extents of a real one: feet, lower and upper legs, body.
BenchFile& Walker() {
  static BenchFile f = [] {
    BenchFile b;
    std::mt19937 rng(2);
    static constexpr unsigned sizes[13][3] = {
        {14, 13, 5}, {9, 9, 13},  {10, 4, 12}, {14, 13, 6}, {8, 9, 12},  {8, 4, 13},  {14, 13, 5},
        {10, 9, 12}, {10, 4, 12}, {14, 13, 6}, {6, 9, 12},  {10, 4, 12}, {53, 31, 20}};
    ResetNewModel(*b.model, 14, 13, 5);
    for (unsigned i = 1; i < 13; ++i)
      b.model->InsertSection(i, FilledSection(sizes[i][0], sizes[i][1], sizes[i][2], rng));
    Written(b, "walker");
    return b;
  }();
  return f;
}

// A dense 255^3 section amid four small ones: the dense one is kept, not in the grids.
BenchFile& DenseAmidSmall() {
  static BenchFile f = [] {
    BenchFile b;
    std::mt19937 rng(3);
    ResetNewModel(*b.model, 20, 20, 20);
    b.model->InsertSection(1, FilledSection(69, 39, 17, rng));
    b.model->InsertSection(2, DenseSection());
    b.model->InsertSection(3, FilledSection(10, 10, 10, rng));
    b.model->InsertSection(4, FilledSection(53, 31, 20, rng));
    Written(b, "dense-amid-small");
    return b;
  }();
  return f;
}

void SequentialRead(benchmark::State& state, BenchFile& f) {
  std::vector<char> buf(1 << 20);
  std::int64_t total = 0;
  for (auto _ : state) {
    const int fd = ::open(f.path.c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    ssize_t r;
    while ((r = ::read(fd, buf.data(), buf.size())) > 0) total += r;
    ::close(fd);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(total);
}

// What writing the same bytes costs by itself: a fresh file beside the target, 1 MiB
// writes, then a rename over the previous one, as the writer does.
void SequentialWrite(benchmark::State& state, BenchFile& f) {
  std::vector<char> bytes(std::filesystem::file_size(f.path));
  const int in = ::open(f.path.c_str(), O_RDONLY);
  if (in < 0 || ::read(in, bytes.data(), bytes.size()) != ssize_t(bytes.size())) std::abort();
  ::close(in);
  const std::string target = f.savePath + ".raw", temp = target + ".tmp";
  Created().push_back(target);
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) std::abort();
    for (std::size_t at = 0; at < bytes.size(); at += 1 << 20) {
      const std::size_t n = std::min<std::size_t>(1 << 20, bytes.size() - at);
      if (::write(fd, bytes.data() + at, n) != ssize_t(n)) std::abort();
    }
    ::close(fd);
    if (::rename(temp.c_str(), target.c_str()) != 0) std::abort();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}

void Load(benchmark::State& state, BenchFile& f) {
  auto target = std::make_unique<TVoxelModel>();
  for (auto _ : state) {
    if (ReadVoxelFile(f.path, *target) != LoadStatus::Ok) std::abort();
    benchmark::DoNotOptimize(target->Colours.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(f.path)));
}

void Save(benchmark::State& state, BenchFile& f) {
  for (auto _ : state) {
    if (!WriteVoxelFile(f.savePath, *f.model)) std::abort();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(f.path)));
}

void BM_DenseSequentialRead(benchmark::State& s) {
  SequentialRead(s, Dense());
}
void BM_DenseSequentialWrite(benchmark::State& s) {
  SequentialWrite(s, Dense());
}
void BM_DenseLoad(benchmark::State& s) {
  Load(s, Dense());
}
void BM_DenseSave(benchmark::State& s) {
  Save(s, Dense());
}
void BM_SmallSequentialRead(benchmark::State& s) {
  SequentialRead(s, Small());
}
void BM_SmallLoad(benchmark::State& s) {
  Load(s, Small());
}
void BM_SmallSave(benchmark::State& s) {
  Save(s, Small());
}

void BM_WalkerLoad(benchmark::State& s) {
  Load(s, Walker());
}
void BM_WalkerSave(benchmark::State& s) {
  Save(s, Walker());
}
void BM_DenseAmidSmallLoad(benchmark::State& s) {
  Load(s, DenseAmidSmall());
}
void BM_DenseAmidSmallSave(benchmark::State& s) {
  Save(s, DenseAmidSmall());
}

// One switch of the edited section per iteration, to and fro: each moves the dense
// section's 33 MB once (into the grids or out of them), or twice between two dense ones.
void Switch(benchmark::State& state, std::size_t other) {
  TVoxelModel& m = *DenseAmidSmall().model;
  if (other == 5 && m.SectionCount() == 5) m.InsertSection(5, DenseSection());
  m.SelectSection(2);
  for (auto _ : state) {
    m.SelectSection(m.EditedSection() == 2 ? other : 2);
    benchmark::DoNotOptimize(m.Colours.data());
  }
  m.SelectSection(0);
}
void BM_SwitchDenseAndSmall(benchmark::State& s) {
  Switch(s, 3);
}
void BM_SwitchDenseAndDense(benchmark::State& s) {
  Switch(s, 5);
}

BENCHMARK(BM_DenseSequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseSequentialWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallSequentialRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmallLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmallSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkerLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkerSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DenseAmidSmallLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseAmidSmallSave)->Unit(benchmark::kMillisecond);
// After the saves: the second dense section goes in only here.
BENCHMARK(BM_SwitchDenseAndSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchDenseAndDense)->Unit(benchmark::kMillisecond);

// Leaves no 34 MB files behind in the temporary folder.
struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    for (const std::string& path : Created()) std::filesystem::remove(path, ec);
  }
} cleanup;

}  // namespace
