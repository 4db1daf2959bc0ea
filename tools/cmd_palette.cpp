// vxltool palette get FILE.vxl OUT.pal | palette set FILE.vxl IN.pal OUT.vxl
#include <cstdio>
#include <cstring>
#include <memory>

#include "model/Messages.h"
#include "model/VxlWriter.h"
#include "palette/PaletteFile.h"
#include "tools/VxlTool.h"

int RunPalette(std::span<char* const> args) {
  if (args.empty()) return UsageError("palette");
  const bool get = std::strcmp(args[0], "get") == 0, set = std::strcmp(args[0], "set") == 0;
  if (!(get && args.size() == 3) && !(set && args.size() == 4)) return UsageError("palette");
  if (set && NamesAnotherFormat("palette", args[3])) return ExitUsage;

  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(args[1], *model)) return ExitFailed;
  int error = 0;
  if (get) {
    // A palette that cannot be written is a failed write, whatever the editor calls it.
    if (WritePaletteFile(args[2], model->Palette, &error) != PaletteStatus::Ok) {
      ReportFailure(args[2], MsgCannotSave, error);
      return ExitFailed;
    }
    return ExitOk;
  }
  // All 256 entries or none: the reader leaves the palette alone on any failure.
  const PaletteStatus status = ReadPaletteFile(args[2], model->Palette, &error);
  if (status != PaletteStatus::Ok) {
    ReportFailure(args[2], PaletteStatusMessage(status), error);
    return ExitFailed;
  }
  if (const FileResult written = WriteVoxelFile(args[3], *model); !written) {
    ReportFailure(args[3], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
