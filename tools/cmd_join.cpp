// vxltool join OUT IN...: the sections of every input in order, the first one's palette.
#include <cstdio>
#include <memory>

#include "model/Messages.h"
#include "model/VxlWriter.h"
#include "tools/VxlTool.h"

int RunJoin(std::span<char* const> args) {
  if (args.size() < 2) return UsageError("join");
  if (NamesAnotherFormat("join", args[0])) return ExitUsage;
  auto joined = std::make_unique<TVoxelModel>();
  if (!LoadForTool(args[1], *joined)) return ExitFailed;
  auto input = std::make_unique<TVoxelModel>();
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (!LoadForTool(args[i], *input)) return ExitFailed;
    if (joined->SectionCount() + input->SectionCount() > MaxSections) {
      ReportFailure(args[i],
                    ("a file holds at most " + std::to_string(MaxSections) + " sections").c_str());
      return ExitFailed;
    }
    for (std::size_t s = 0; s < input->SectionCount(); ++s)
      joined->InsertSection(joined->SectionCount(), input->CopySection(s));
  }
  if (const FileResult written = WriteVoxelFile(args[0], *joined); !written) {
    ReportFailure(args[0], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
