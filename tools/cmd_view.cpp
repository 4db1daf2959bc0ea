// vxltool view FILE OUT.png [options]: the 3D view's bitmap of a section for given angles.
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "model/Messages.h"
#include "model/NewModel.h"
#include "tools/PngFile.h"
#include "tools/VxlTool.h"
#include "view3d/Renderer3D.h"
#include "view3d/ViewPresets.h"

namespace {

// The editor paints its 3D view on the button-face colour of the desktop theme; a file
// needs one fixed colour, the light grey of the default theme.
constexpr std::uint32_t DefaultViewBackground = 0xEFEFEF;

bool ParseAngles(const char* text, std::int32_t angles[3]) {
  const std::string s(text);
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = i < 2 ? s.find(',', start) : s.size();
    if (comma == std::string::npos) return false;
    if (!ParseNumber(s.substr(start, comma - start).c_str(), 0, 255, angles[i])) return false;
    start = comma + 1;
  }
  return true;
}

}  // namespace

int RunView(std::span<char* const> args) {
  std::int32_t angles[3] = {0, 0, 0};
  std::int32_t scale = 1;
  std::uint32_t background = DefaultViewBackground;
  std::int32_t section = 0;
  bool anglesGiven = false, presetGiven = false, lighting = false;
  const char* files[2] = {};
  std::size_t fileCount = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const char* arg = args[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      if (fileCount == 2) return UsageError("view");
      files[fileCount++] = arg;
      continue;
    }
    if (!std::strcmp(arg, "--lighting")) {
      lighting = true;
      continue;
    }
    const bool known = !std::strcmp(arg, "--angles") || !std::strcmp(arg, "--preset") ||
                       !std::strcmp(arg, "--scale") || !std::strcmp(arg, "--background") ||
                       !std::strcmp(arg, "--section");
    if (!known) return BadArgument("view", "unknown option '" + std::string(arg) + "'");
    if (i + 1 >= args.size()) return BadArgument("view", std::string(arg) + " needs a value");
    const char* value = args[++i];
    if (!std::strcmp(arg, "--angles")) {
      if (!ParseAngles(value, angles))
        return BadArgument("view",
                           "--angles wants X,Y,Z of 0 to 255, not '" + std::string(value) + "'");
      anglesGiven = true;
    } else if (!std::strcmp(arg, "--preset")) {
      std::int32_t preset = 0;
      if (!ParseNumber(value, 1, 4, preset))
        return BadArgument("view", "--preset wants 1 to 4, not '" + std::string(value) + "'");
      const ViewAngles& p = ViewPresets[preset - 1];
      angles[0] = p.X;
      angles[1] = p.Y;
      angles[2] = p.Z;
      presetGiven = true;
    } else if (!std::strcmp(arg, "--section")) {
      if (!ParseNumber(value, 0, std::numeric_limits<std::int32_t>::max(), section))
        return BadArgument("view", "--section wants 0 or more, not '" + std::string(value) + "'");
    } else if (!std::strcmp(arg, "--scale")) {
      if (!ParseNumber(value, 1, 4, scale))
        return BadArgument("view", "--scale wants 1 to 4, not '" + std::string(value) + "'");
    } else if (!ParseColour(value, background)) {
      return BadArgument("view", "--background wants RRGGBB, not '" + std::string(value) + "'");
    }
  }
  if (anglesGiven && presetGiven) return BadArgument("view", "give --angles or --preset, not both");
  if (fileCount != 2) return UsageError("view");

  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(files[0], *model, std::size_t(section))) return ExitFailed;
  auto buffers = std::make_unique<View3DBuffers>();
  const Pixel fill = 0xFF000000u | background;
  // The render clears only its fill square; the strip beyond it must not show stale memory.
  buffers->ViewBitmap.Fill(fill);
  RenderView(*model, angles[0], angles[1], angles[2], ComputeViewSpan(*model), fill, *buffers,
             lighting);
  if (const FileResult written = WritePngFile(files[1], buffers->ViewBitmap, scale); !written) {
    ReportFailure(files[1], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
