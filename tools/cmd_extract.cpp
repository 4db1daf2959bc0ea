// vxltool extract IN N OUT: one section as a file of its own, with the file's palette.
#include <cstdio>
#include <limits>
#include <memory>

#include "model/Messages.h"
#include "model/VxlWriter.h"
#include "tools/VxlTool.h"

int RunExtract(std::span<char* const> args) {
  if (args.size() != 3) return UsageError("extract");
  if (NamesAnotherFormat("extract", args[2])) return ExitUsage;
  std::int32_t section = 0;
  if (!ParseNumber(args[1], 0, std::numeric_limits<std::int32_t>::max(), section))
    return BadArgument("extract", "N wants 0 or more, not '" + std::string(args[1]) + "'");
  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(args[0], *model, std::size_t(section))) return ExitFailed;
  model->KeepOnlyEditedSection();
  if (const FileResult written = WriteVoxelFile(args[2], *model); !written) {
    ReportFailure(args[2], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
