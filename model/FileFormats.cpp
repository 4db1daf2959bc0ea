#include "model/FileFormats.h"

#include <memory>

#include "model/Messages.h"
#include "model/VoxFile.h"
#include "model/VoxMapping.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"

namespace {

const char* ReadVxl(const std::string& path, TVoxelModel& model) {
  const LoadStatus status = ReadVoxelFile(path, model);
  return status == LoadStatus::Ok ? nullptr : LoadStatusMessage(status);
}

ExportResult WriteVxl(const std::string& path, const TVoxelModel& model) {
  return {WriteVoxelFile(path, model), 0};
}

const char* ReadVox(const std::string& path, TVoxelModel& model) {
  VoxScene scene;
  const VoxStatus status = ReadVoxFile(path, scene);
  if (status != VoxStatus::Ok) return VoxStatusMessage(status);
  // A document holds one section for now: dropping the other models would lose them.
  if (scene.Models.size() != 1) return MsgMultiLimbed;
  SectionFromVox(scene.Models.front(), 1, scene.Palette, model);
  return nullptr;
}

ExportResult WriteVox(const std::string& path, const TVoxelModel& model) {
  auto scene = std::make_unique<VoxScene>();
  scene->Palette = VoxPaletteFrom(model.Palette);
  ExportResult result;
  result.LeftOut = VoxModelFromSection(model, scene->Models.emplace_back());
  result.File = WriteVoxFile(path, *scene);
  return result;
}

constexpr FileFormat Formats[] = {
    {"vxl", "TS and RA2 Voxel Image (*.VXL)", ".vxl", ReadVxl, WriteVxl},
    {"vox", "MagicaVoxel model (*.vox)", ".vox", ReadVox, WriteVox},
};

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  text.remove_prefix(text.size() - end.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != end[i]) return false;
  }
  return true;
}

}  // namespace

std::span<const FileFormat> FileFormats() {
  return Formats;
}

const FileFormat* FormatForPath(std::string_view path) {
  for (const FileFormat& f : Formats)
    if (EndsWithNoCase(path, f.Extension)) return &f;
  return nullptr;
}
