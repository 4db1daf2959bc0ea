// vxltool normals IN OUT [--radius R] [--section N]
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "model/Messages.h"
#include "model/VxlWriter.h"
#include "model/ComputeNormals.h"
#include "tools/VxlTool.h"

int RunNormals(std::span<char* const> args) {
  std::int32_t radius = DefaultSmoothing, section = 0;
  const char* files[2] = {};
  std::size_t fileCount = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const char* arg = args[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      if (fileCount == 2) return UsageError("normals");
      files[fileCount++] = arg;
      continue;
    }
    const bool isRadius = !std::strcmp(arg, "--radius"), isSection = !std::strcmp(arg, "--section");
    if (!isRadius && !isSection)
      return BadArgument("normals", "unknown option '" + std::string(arg) + "'");
    if (i + 1 >= args.size()) return BadArgument("normals", std::string(arg) + " needs a value");
    const char* value = args[++i];
    if (isRadius && !ParseNumber(value, MinSmoothing, MaxSmoothing, radius))
      return BadArgument("normals", "--radius wants 1 to 5, not '" + std::string(value) + "'");
    if (isSection && !ParseNumber(value, 0, std::numeric_limits<std::int32_t>::max(), section))
      return BadArgument("normals", "--section wants 0 or more, not '" + std::string(value) + "'");
  }
  if (fileCount != 2) return UsageError("normals");
  if (NamesAnotherFormat("normals", files[1])) return ExitUsage;

  auto model = std::make_unique<TVoxelModel>();
  // The chosen section gets its normals; every section is saved.
  if (!LoadForTool(files[0], *model, std::size_t(section))) return ExitFailed;
  if (CalculateNormals(*model, ModelBox(*model), radius).Status == NormalsStatus::NoNormalSet) {
    std::fprintf(stderr, "%s\n", MsgChooseNormals);
    return ExitFailed;
  }
  if (const FileResult written = WriteVoxelFile(files[1], *model); !written) {
    ReportFailure(files[1], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
