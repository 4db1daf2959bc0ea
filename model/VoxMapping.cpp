#include "model/VoxMapping.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "model/Messages.h"
#include "model/NewModel.h"

std::string VoxSectionName(const VoxSceneModel& model, std::size_t number) {
  if (model.Name.empty()) return "MODEL " + std::to_string(number);
  // The node name's bytes as they are, as a voxel file's name bytes are kept: whoever
  // shows a name makes it safe to show. Only a UTF-8 character cut by the limit goes
  // whole, so that no broken sequence is made here.
  const std::string& text = model.Name;
  std::size_t n = std::min<std::size_t>(text.size(), VoxNameBytes);
  if (n < text.size() && (std::uint8_t(text[n]) & 0xC0) == 0x80) {
    std::size_t lead = n;
    while (lead > 0 && n - lead < 3 && (std::uint8_t(text[lead]) & 0xC0) == 0x80) --lead;
    const std::uint8_t c = std::uint8_t(text[lead]);
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (c >= 0xC0 && lead + length > n) n = lead;
  }
  return text.substr(0, n);
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

std::size_t VoxModelFromSection(const SectionView& section, VoxSceneModel& model) {
  model = VoxSceneModel();
  model.SizeX = section.SizeX;
  model.SizeY = section.SizeY;
  model.SizeZ = section.SizeZ;
  model.Name = NameText(section.Name);
  std::size_t leftOut = 0;
  for (unsigned z = 0; z < section.SizeZ; ++z)
    for (unsigned y = 0; y < section.SizeY; ++y) {
      const std::uint8_t* colours = section.Cells.Colours + section.Cells.At(0, y, z);
      const std::uint8_t* normals = section.Cells.Normals + section.Cells.At(0, y, z);
      for (unsigned x = 0; x < section.SizeX; ++x) {
        if (colours[x] != 0)
          model.Voxels.push_back({std::uint8_t(x), std::uint8_t(y), std::uint8_t(z), colours[x]});
        else
          leftOut += normals[x] != 0;
      }
    }
  return leftOut;
}

namespace {

// The box of a model's voxels. Normals computed over it alone are those of the whole
// extent, since nothing lies outside it; an empty model's box is empty.
CellBox VoxelBox(const VoxSceneModel& model) {
  CellBox box{255, 255, 255, -1, -1, -1};
  for (const VoxVoxel& v : model.Voxels) {
    if (v.X >= model.SizeX || v.Y >= model.SizeY || v.Z >= model.SizeZ) continue;
    box.X0 = std::min<int>(box.X0, v.X), box.X1 = std::max<int>(box.X1, v.X);
    box.Y0 = std::min<int>(box.Y0, v.Y), box.Y1 = std::max<int>(box.Y1, v.Y);
    box.Z0 = std::min<int>(box.Z0, v.Z), box.Z1 = std::max<int>(box.Z1, v.Z);
  }
  return box;
}

}  // namespace

const char* ModelFromVoxScene(const VoxScene& scene, TVoxelModel& model,
                              const VoxImportOptions& options) {
  if (scene.Models.empty()) return MsgIncorrectFormat;
  if (scene.Models.size() > MaxSections) return MsgTooManyModels;
  std::size_t bytes = 0;
  for (const VoxSceneModel& m : scene.Models) bytes += 2 * std::size_t(m.SizeX) * m.SizeY * m.SizeZ;
  if (bytes > VoxImportCellBytes) return MsgModelsTooLarge;

  // Each section is made in a model of its own, so that the normals are computed just
  // as the editor computes them, and kept compactly until all are ready.
  auto scratch = std::make_unique<TVoxelModel>();
  std::vector<VoxelSection> sections(scene.Models.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const VoxSceneModel& m = scene.Models[i];
    SectionFromVox(m, i + 1, scene.Palette, *scratch, options.NormalType);
    const CellBox box = VoxelBox(m);
    if (options.ComputeNormals && !box.Empty())
      CalculateNormals(*scratch, box, options.Radius);  // no history: the step is dropped
    // A model without a voxel needs no scan of its cells: files may declare many.
    sections[i] =
        box.Empty() ? VoxelSection::Empty(scratch->EditedValues()) : scratch->CopySection(0);
    sections[i].Header.Number = std::uint32_t(i);  // as the writer numbers them
  }

  // Nothing below can fail: the copy's working buffers come before its first write.
  const VoxelSection& first = sections[0];
  first.CopyCellsTo({model.Colours.data(), model.Normals.data(), GridSide, LayerCells});
  model.SizeX = first.SizeX;
  model.SizeY = first.SizeY;
  model.SizeZ = first.SizeZ;
  model.NormalType = first.NormalType;
  model.Name = first.Name;
  model.Tailer = first.Tailer;
  model.SectionHeader = first.Header;
  model.FileHeader = FileHeaderValues{};
  model.Palette = PaletteFromVox(scene.Palette);
  model.AdoptSections(std::move(sections));
  return nullptr;
}

std::size_t VoxSceneFromModel(const TVoxelModel& model, VoxScene& scene) {
  scene = VoxScene();
  scene.Palette = VoxPaletteFrom(model.Palette);
  scene.PaletteInFile = true;
  scene.Models.resize(model.SectionCount());
  std::size_t leftOut = 0;
  for (std::size_t i = 0; i < model.SectionCount(); ++i)
    leftOut += VoxModelFromSection(model.Section(i), scene.Models[i]);
  return leftOut;
}
