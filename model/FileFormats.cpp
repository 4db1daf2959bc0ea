#include "model/FileFormats.h"

#include <memory>
#include <new>

#include "model/Messages.h"

#include "model/VoxFile.h"
#include "model/VoxMapping.h"
#include "model/VxlReader.h"
#include "model/VxlWriter.h"

namespace {

const char* ReadVxl(const std::string& path, TVoxelModel& model, const ReadOptions&, int& error) {
  const LoadStatus status = ReadVoxelFile(path, model, &error);
  return status == LoadStatus::Ok ? nullptr : LoadStatusMessage(status);
}

ExportResult WriteVxl(const std::string& path, const TVoxelModel& model) {
  return {WriteVoxelFile(path, model), 0};
}

const char* ReadVox(const std::string& path, TVoxelModel& model, const ReadOptions& options,
                    int& error) {
  auto scene = std::make_unique<VoxScene>();
  const VoxStatus status = ReadVoxFile(path, *scene, &error);
  if (status != VoxStatus::Ok) return VoxStatusMessage(status);
  return ModelFromVoxScene(*scene, model, options);
}

ExportResult WriteVox(const std::string& path, const TVoxelModel& model) {
  auto scene = std::make_unique<VoxScene>();
  ExportResult result;
  result.LeftOut = VoxSceneFromModel(model, *scene);
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

const char* ReadWith(const FileFormat& f, const std::string& path, TVoxelModel& model,
                     const ReadOptions& options, int* error) {
  int ignored = 0;
  try {
    return f.Read(path, model, options, error ? *error : ignored);
  } catch (const std::bad_alloc&) {
    return MsgNoMemory;  // each reader leaves the model as it was until it has read all
  }
}

std::span<const FileFormat> FileFormats() {
  return Formats;
}

const FileFormat* FormatForPath(std::string_view path) {
  for (const FileFormat& f : Formats)
    if (EndsWithNoCase(path, f.Extension)) return &f;
  return nullptr;
}

const FileFormat* FormatNamed(std::string_view name) {
  for (const FileFormat& f : Formats)
    if (name == f.Name) return &f;
  return nullptr;
}

std::string LeftOutText(std::size_t count) {
  return count == 1 ? std::string("1 voxel without a colour was left out")
                    : std::to_string(count) + " voxels without a colour were left out";
}
