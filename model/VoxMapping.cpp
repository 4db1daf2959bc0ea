#include "model/VoxMapping.h"

#include <algorithm>

#include "model/NewModel.h"

std::string VoxSectionName(const VoxSceneModel& model, std::size_t number) {
  if (model.Name.empty()) return "MODEL " + std::to_string(number);
  std::size_t cut = std::min<std::size_t>(model.Name.size(), 15);
  // Back off over continuation bytes so that no character is cut in half.
  if (cut < model.Name.size())
    while (cut > 0 && (std::uint8_t(model.Name[cut]) & 0xC0) == 0x80) --cut;
  return model.Name.substr(0, cut);
}

PaletteRGB PaletteFromVox(const VoxPalette& palette) {
  PaletteRGB out{};
  // Both keep red in the low byte; only the alpha byte goes.
  for (std::size_t c = 1; c < 256; ++c) out[c] = std::int32_t(palette[c] & 0xFFFFFF);
  return out;
}

VoxPalette VoxPaletteFrom(const PaletteRGB& palette) {
  VoxPalette out{};
  for (std::size_t c = 1; c < 256; ++c)
    out[c] = (std::uint32_t(palette[c]) & 0xFFFFFF) | 0xFF000000u;
  return out;
}

void SectionFromVox(const VoxSceneModel& model, std::size_t number, const VoxPalette& palette,
                    TVoxelModel& section, std::uint8_t normalType) {
  ResetNewModel(section, model.SizeX, model.SizeY, model.SizeZ);
  section.NormalType = normalType;
  section.Name.fill(0);
  StoreNameText(section.Name, VoxSectionName(model, number));
  section.Palette = PaletteFromVox(palette);
  for (const VoxVoxel& v : model.Voxels) {
    // The reader keeps only voxels inside the size; a scene built elsewhere may not.
    if (v.X >= model.SizeX || v.Y >= model.SizeY || v.Z >= model.SizeZ) continue;
    section.Colours.at(v.X, v.Y, v.Z) = v.Colour;
  }
}

std::size_t VoxModelFromSection(const TVoxelModel& section, VoxSceneModel& model) {
  model = VoxSceneModel();
  model.SizeX = section.SizeX;
  model.SizeY = section.SizeY;
  model.SizeZ = section.SizeZ;
  model.Name = NameText(section.Name);
  std::size_t leftOut = 0;
  for (unsigned z = 0; z < section.SizeZ; ++z)
    for (unsigned y = 0; y < section.SizeY; ++y) {
      const std::uint8_t* colours = section.Colours.layer(z) + (y << 8);
      const std::uint8_t* normals = section.Normals.layer(z) + (y << 8);
      for (unsigned x = 0; x < section.SizeX; ++x) {
        if (colours[x] != 0)
          model.Voxels.push_back({std::uint8_t(x), std::uint8_t(y), std::uint8_t(z), colours[x]});
        else
          leftOut += normals[x] != 0;
      }
    }
  return leftOut;
}
