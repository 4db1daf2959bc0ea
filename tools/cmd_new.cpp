// vxltool new X Y Z OUT: the empty model the New dialog makes, with the start-up palette.
#include <cstdio>
#include <memory>

#include "model/Messages.h"
#include "model/NewModel.h"
#include "model/VxlWriter.h"
#include "tools/VxlTool.h"

int RunNew(std::span<char* const> args) {
  if (args.size() != 4) return UsageError("new");
  if (NamesAnotherFormat("new", args[3])) return ExitUsage;
  // All three are parsed before any is tested, as the dialog does.
  const std::int32_t sizes[3] = {ParseLeadingInt(args[0]), ParseLeadingInt(args[1]),
                                 ParseLeadingInt(args[2])};
  for (std::int32_t v : sizes) {
    if (!IsValidModelSize(v)) {
      std::fprintf(stderr, "%s\n", MsgSizeRange);
      return ExitFailed;
    }
  }
  auto model = std::make_unique<TVoxelModel>();  // start-up state: the default palette
  ResetNewModel(*model, std::uint8_t(sizes[0]), std::uint8_t(sizes[1]), std::uint8_t(sizes[2]));
  if (const FileResult written = WriteVoxelFile(args[3], *model); !written) {
    ReportFailure(args[3], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
