// vxltool resave IN OUT
#include <cstdio>
#include <memory>

#include "model/Messages.h"
#include "model/VxlWriter.h"
#include "tools/VxlTool.h"

int RunResave(std::span<char* const> args) {
  if (args.size() != 2) return UsageError("resave");
  if (NamesAnotherFormat("resave", args[1])) return ExitUsage;
  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(args[0], *model)) return ExitFailed;
  if (const FileResult written = WriteVoxelFile(args[1], *model); !written) {
    ReportFailure(args[1], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
