// vxltool convert IN OUT [--normals ts|ra2] [--radius R]
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "model/Messages.h"
#include "tools/VxlTool.h"

namespace {

// ".vxl or .vox", from the table.
std::string Extensions() {
  std::string list;
  const auto formats = FileFormats();
  for (std::size_t i = 0; i < formats.size(); ++i)
    list += (i == 0                    ? ""
             : i + 1 == formats.size() ? " or "
                                       : ", ") +
            std::string(formats[i].Extension);
  return list;
}

}  // namespace

int RunConvert(std::span<char* const> args) {
  ReadOptions options;
  bool readOptionGiven = false;
  const char* files[2] = {};
  std::size_t fileCount = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const char* arg = args[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      if (fileCount == 2) return UsageError("convert");
      files[fileCount++] = arg;
      continue;
    }
    const bool isNormals = !std::strcmp(arg, "--normals"), isRadius = !std::strcmp(arg, "--radius");
    if (!isNormals && !isRadius)
      return BadArgument("convert", "unknown option '" + std::string(arg) + "'");
    if (i + 1 >= args.size()) return BadArgument("convert", std::string(arg) + " needs a value");
    const std::string value = args[++i];
    readOptionGiven = true;
    if (isNormals) {
      if (value != "ts" && value != "ra2")
        return BadArgument("convert", "--normals wants ts or ra2, not '" + value + "'");
      options.NormalType = value == "ts" ? 2 : 4;
    } else {
      std::int32_t radius = 0;
      if (!ParseNumber(value.c_str(), MinSmoothing, MaxSmoothing, radius))
        return BadArgument("convert", "--radius wants 1 to 5, not '" + value + "'");
      options.Radius = radius;
    }
  }
  if (fileCount != 2) return UsageError("convert");

  const FileFormat* from = FormatForPath(files[0]);
  const FileFormat* to = FormatForPath(files[1]);
  for (const char* file : files)
    if (FormatForPath(file) == nullptr)
      return BadArgument("convert", "'" + std::string(file) + "' must end in " + Extensions());
  if (from == to)
    return BadArgument("convert", "both files are " + std::string(from->Extension) +
                                      " files: convert turns one format into the other");
  // Only a file without normals of its own has its normals computed.
  if (readOptionGiven && from != FormatNamed("vox"))
    return BadArgument("convert", "--normals and --radius apply to reading a .vox file");

  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(files[0], *model, 0, options)) return ExitFailed;
  const ExportResult written = to->Write(files[1], *model);
  if (!written) {
    ReportFailure(files[1], MsgCannotSave, written.File.error);
    return ExitFailed;
  }
  if (written.LeftOut != 0)
    std::fprintf(stderr, "vxltool convert: warning: %s\n", LeftOutText(written.LeftOut).c_str());
  return ExitOk;
}
