// Feeds arbitrary bytes to the voxel file reader: it must never crash, overrun or hang,
// must leave the model exactly as it was on any rejection, and whatever it accepts
// must save and load back to the same model.
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

bool SameInExtent(const TVoxelModel& a, const TVoxelModel& b) {
  if (a.SizeX != b.SizeX || a.SizeY != b.SizeY || a.SizeZ != b.SizeZ ||
      a.NormalType != b.NormalType || a.Palette != b.Palette || a.Name != b.Name ||
      a.Tailer != b.Tailer)
    return false;
  for (unsigned z = 0; z < a.SizeZ; ++z)
    for (unsigned y = 0; y < a.SizeY; ++y)
      if (std::memcmp(a.Colours.layer(z) + 256 * y, b.Colours.layer(z) + 256 * y, a.SizeX) != 0 ||
          std::memcmp(a.Normals.layer(z) + 256 * y, b.Normals.layer(z) + 256 * y, a.SizeX) != 0)
        return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  State& s = Fuzz();
  if (::ftruncate(s.input, 0) != 0) std::abort();
  if (size != 0 && ::pwrite(s.input, data, size, 0) != ssize_t(size)) std::abort();

  // A marker the reader must not touch when it rejects the file.
  TVoxelModel& m = *s.model;
  m.SizeX = 3;
  m.SizeY = 4;
  m.SizeZ = 5;
  m.Name[0] = 0x5A;
  m.Colours.at(1, 2, 3) = 0xC3;
  const LoadStatus status = ReadVoxelFile(s.inputPath, m);
  if (status != LoadStatus::Ok) {
    if (m.SizeX != 3 || m.SizeY != 4 || m.SizeZ != 5 || m.Name[0] != 0x5A ||
        m.Colours.at(1, 2, 3) != 0xC3 || status == LoadStatus::FileNotFound)
      std::abort();
    return 0;
  }
  if (m.SizeX == 0 || m.SizeY == 0 || m.SizeZ == 0) std::abort();

  // Large extents make a round trip slow; the small ones cover the same code.
  if (std::size_t(m.SizeX) * m.SizeY * m.SizeZ <= 64 * 64 * 64) {
    if (!WriteVoxelFile(s.outputPath, m)) std::abort();
    if (ReadVoxelFile(s.outputPath, *s.again) != LoadStatus::Ok) std::abort();
    if (!SameInExtent(m, *s.again)) std::abort();
  }
  return 0;
}
