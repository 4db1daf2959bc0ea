// Feeds arbitrary bytes to the voxel file reader: it must never crash, overrun or hang,
// must leave the model exactly as it was on any rejection, and whatever it accepts
// must save and load back to the same model, every section of it, and switch between
// its sections without loss.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "model/VxlReader.h"
#include "model/VxlWriter.h"

namespace {

struct State {
  int input = -1;
  std::string inputPath, outputPath;
  std::unique_ptr<TVoxelModel> model = std::make_unique<TVoxelModel>();
  std::unique_ptr<TVoxelModel> again = std::make_unique<TVoxelModel>();
};

State& Fuzz() {
  static State* s = [] {
    auto* st = new State;
    st->input = ::memfd_create("vxl_fuzz_input", 0);
    if (st->input < 0) std::abort();
    st->inputPath = "/proc/self/fd/" + std::to_string(st->input);
    const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    st->outputPath = std::string(dir) + "/kobaltine_vxlfuzz_" + std::to_string(::getpid()) + ".vxl";
    return st;
  }();
  return *s;
}

bool SameSections(const TVoxelModel& a, const TVoxelModel& b) {
  if (a.SectionCount() != b.SectionCount() || a.Palette != b.Palette) return false;
  for (std::size_t i = 0; i < a.SectionCount(); ++i) {
    SectionView x = a.Section(i), y = b.Section(i);
    x.Header.Number = y.Header.Number = 0;  // the writer numbers sections by their place
    if (!SameSection(x, y)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  State& s = Fuzz();
  if (::ftruncate(s.input, 0) != 0) std::abort();
  if (size != 0 && ::pwrite(s.input, data, size, 0) != ssize_t(size)) std::abort();

  // A marker the reader must not touch when it rejects the file: the fields, a cell,
  // and a second section. It is made through the model's own section operations only,
  // whatever form a kept section takes.
  TVoxelModel& m = *s.model;
  m.KeepOnlyEditedSection();
  m.SizeX = m.SizeY = m.SizeZ = 1;
  m.Colours.at(0, 0, 0) = 0x3C;
  m.InsertSection(1, m.CopySection(0));
  m.SizeX = 3;
  m.SizeY = 4;
  m.SizeZ = 5;
  m.Name[0] = 0x5A;
  m.Colours.at(1, 2, 3) = 0xC3;
  const LoadStatus status = ReadVoxelFile(s.inputPath, m);
  if (status != LoadStatus::Ok) {
    if (m.SizeX != 3 || m.SizeY != 4 || m.SizeZ != 5 || m.Name[0] != 0x5A ||
        m.Colours.at(1, 2, 3) != 0xC3 || m.SectionCount() != 2 ||
        m.Section(1).Colour(0, 0, 0) != 0x3C || status == LoadStatus::FileNotFound)
      std::abort();
    return 0;
  }
  std::size_t cells = 0;
  for (std::size_t i = 0; i < m.SectionCount(); ++i) {
    const SectionView v = m.Section(i);
    if (v.SizeX == 0 || v.SizeY == 0 || v.SizeZ == 0) std::abort();
    cells += v.CellCount();
  }

  // Large extents make a round trip slow; the small ones cover the same code. Visiting
  // every section on the way must change nothing of what is saved.
  if (cells <= 64 * 64 * 64) {
    for (std::size_t i = m.SectionCount(); i-- > 0;) m.SelectSection(i);
    if (!WriteVoxelFile(s.outputPath, m)) std::abort();
    if (ReadVoxelFile(s.outputPath, *s.again) != LoadStatus::Ok) std::abort();
    if (!SameSections(m, *s.again)) std::abort();
  }
  return 0;
}
