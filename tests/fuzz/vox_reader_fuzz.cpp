// Feeds arbitrary bytes to the MagicaVoxel reader: it must never crash, overrun or
// hang, must leave the scene as it was on any rejection, must read a file and the same
// bytes in memory alike, and whatever it accepts must write and read back the same and
// import as a document.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "model/VoxFile.h"
#include "model/VoxMapping.h"

namespace {

struct State {
  int input = -1;
  std::string inputPath;
  std::unique_ptr<TVoxelModel> section = std::make_unique<TVoxelModel>();
};

State& Fuzz() {
  static State* s = [] {
    auto* st = new State;
    st->input = ::memfd_create("vox_fuzz_input", 0);
    if (st->input < 0) std::abort();
    st->inputPath = "/proc/self/fd/" + std::to_string(st->input);
    return st;
  }();
  return *s;
}

bool SameModels(const VoxScene& a, const VoxScene& b) {
  if (a.Models.size() != b.Models.size() || a.Palette != b.Palette) return false;
  for (std::size_t i = 0; i < a.Models.size(); ++i) {
    const VoxSceneModel &m = a.Models[i], &n = b.Models[i];
    if (m.SizeX != n.SizeX || m.SizeY != n.SizeY || m.SizeZ != n.SizeZ || m.Voxels != n.Voxels)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  State& s = Fuzz();
  VoxScene scene;
  scene.Version = -12345;
  const VoxStatus status = ReadVoxBytes({data, size}, scene);

  if (::ftruncate(s.input, 0) != 0) std::abort();
  if (size != 0 && ::pwrite(s.input, data, size, 0) != ssize_t(size)) std::abort();
  VoxScene fromFile;
  if (ReadVoxFile(s.inputPath, fromFile) != status) std::abort();

  if (status != VoxStatus::Ok) {
    if (scene.Version != -12345 || !scene.Models.empty() || status == VoxStatus::FileNotFound)
      std::abort();
    return 0;
  }
  if (scene.Models.empty() || !SameModels(scene, fromFile) || scene.Palette[0] != 0) std::abort();
  // One voxel a cell, in storage order, each with a colour and inside its model.
  for (const VoxSceneModel& m : scene.Models) {
    if (m.SizeX == 0 || m.SizeY == 0 || m.SizeZ == 0) std::abort();
    std::int64_t previous = -1;
    for (const VoxVoxel& v : m.Voxels) {
      const std::int64_t cell = v.X + 256 * v.Y + 65536 * std::int64_t(v.Z);
      if (v.Colour == 0 || v.X >= m.SizeX || v.Y >= m.SizeY || v.Z >= m.SizeZ || cell <= previous)
        std::abort();
      previous = cell;
    }
  }

  VoxScene again;
  if (ReadVoxBytes(EncodeVox(scene), again) != VoxStatus::Ok || !SameModels(scene, again))
    std::abort();

  // A section holds exactly those voxels, and gives them back in the same order.
  const VoxSceneModel& first = scene.Models.front();
  if (std::size_t(first.SizeX) * first.SizeY * first.SizeZ <= 64 * 64 * 64) {
    SectionFromVox(first, 1, scene.Palette, *s.section);
    VoxSceneModel back;
    if (VoxModelFromSection(s.section->Section(0), back) != 0 || back.Voxels != first.Voxels)
      std::abort();
  }

  // A small scene imports whole, one section per model, the normals computed. An import
  // sets up a model of 32 MB, so only every 64th accepted input is taken (the first of
  // a run always is, so that a single input reproduces).
  static std::size_t accepted = 0;
  std::size_t cells = 0;
  for (const VoxSceneModel& m : scene.Models) cells += std::size_t(m.SizeX) * m.SizeY * m.SizeZ;
  if (accepted++ % 64 == 0 && cells <= 64 * 64 * 64 && scene.Models.size() <= MaxSections) {
    if (ModelFromVoxScene(scene, *s.section, {2, true, 2}) != nullptr ||
        s.section->SectionCount() != scene.Models.size())
      std::abort();
  }
  return 0;
}
