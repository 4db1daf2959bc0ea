#include "model/VoxelModel.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

// Zeroed by the allocator: a grid this large comes straight from the system as fresh
// zero pages, so making one costs nothing until its cells are used (a small model
// touches a few of its 16 MiB, and the companion starts at once).
VoxelGrid::VoxelGrid() : raw_(static_cast<std::uint8_t*>(std::calloc(GridCells + 64, 1))) {
  if (!raw_) throw std::bad_alloc();
  cells_ = raw_.get() + (64 - reinterpret_cast<std::uintptr_t>(raw_.get()) % 64) % 64;
}

void VoxelGrid::FreeDelete::operator()(std::uint8_t* p) const {
  std::free(p);
}

PaletteRGB DefaultPalette() {
  PaletteRGB p{};
  static constexpr unsigned char rgb[16][3] = {
      {0, 0, 0},     {170, 0, 170}, {0, 170, 170},   {0, 170, 0},    {85, 255, 85}, {255, 255, 85},
      {255, 85, 85}, {170, 85, 0},  {170, 0, 0},     {85, 255, 255}, {85, 85, 255}, {0, 0, 170},
      {0, 0, 0},     {85, 85, 85},  {170, 170, 170}, {255, 255, 255}};
  for (int i = 0; i < 16; ++i) p[i] = PackRGB(rgb[i][0], rgb[i][1], rgb[i][2]);
  return p;
}

float TVoxelModel::TailerFloat(std::size_t index) const {
  return std::bit_cast<float>(Tailer.at(index));
}

void TVoxelModel::SetTailerFloat(std::size_t index, float value) {
  Tailer.at(index) = std::bit_cast<std::uint32_t>(value);
}

std::string NameText(const std::array<std::uint8_t, 16>& name) {
  std::size_t n = 0;
  while (n < name.size() && name[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(name.data()), n);
}

void StoreNameText(std::array<std::uint8_t, 16>& name, const std::string& text) {
  const std::size_t n = text.size() < name.size() ? text.size() : name.size();
  std::memcpy(name.data(), text.data(), n);
  if (n < name.size()) name[n] = 0;
}

std::string FileTitleOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}
