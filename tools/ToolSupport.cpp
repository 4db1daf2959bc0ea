#include <cstdio>
#include <cstring>

#include "model/VxlReader.h"
#include "tools/VxlTool.h"

int UsageError(const char* commandName) {
  for (const VxlToolCommand& c : ToolCommands())
    if (std::strcmp(c.name, commandName) == 0)
      std::fprintf(stderr, "usage: vxltool %s %s\n", c.name, c.arguments);
  return ExitUsage;
}

bool LoadForTool(const std::string& path, TVoxelModel& model) {
  const LoadStatus status = ReadVoxelFile(path, model);
  if (status == LoadStatus::Ok) return true;
  std::fprintf(stderr, "%s\n", LoadStatusMessage(status));
  return false;
}

std::size_t CountVoxels(const TVoxelModel& model) {
  std::size_t count = 0;
  for (unsigned z = 0; z < model.SizeZ; ++z)
    for (unsigned y = 0; y < model.SizeY; ++y) {
      const std::uint8_t* colours = model.Colours.layer(z) + (y << 8);
      const std::uint8_t* normals = model.Normals.layer(z) + (y << 8);
      for (unsigned x = 0; x < model.SizeX; ++x) count += !IsEmptyCell(colours[x], normals[x]);
    }
  return count;
}

int FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vxltool: could not write the output\n");
    return ExitFailed;
  }
  return ExitOk;
}
