// vxltool thumbnail -s SIZE IN OUT.png: the picture a file manager shows for a model,
// the 3D view's cameo of its first section, lit where its normals allow, cut to the
// drawn voxels and scaled by a whole factor to fit SIZE x SIZE, on a clear background.
#include <cstring>
#include <memory>
#include <string>

#include "model/Messages.h"
#include "tools/PngFile.h"
#include "tools/VxlTool.h"
#include "view3d/Thumbnail.h"

int RunThumbnail(std::span<char* const> args) {
  std::int32_t size = 0;
  const char* files[2] = {};
  std::size_t fileCount = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!std::strcmp(args[i], "-s") || !std::strcmp(args[i], "--size")) {
      if (i + 1 >= args.size()) return BadArgument("thumbnail", "-s needs a value");
      if (!ParseNumber(args[++i], 1, 4096, size))
        return BadArgument("thumbnail", "-s wants 1 to 4096, not '" + std::string(args[i]) + "'");
      continue;
    }
    if (args[i][0] == '-' && args[i][1] != '\0')
      return BadArgument("thumbnail", "unknown option '" + std::string(args[i]) + "'");
    if (fileCount == 2) return UsageError("thumbnail");
    files[fileCount++] = args[i];
  }
  if (fileCount != 2 || size == 0) return UsageError("thumbnail");

  auto model = std::make_unique<TVoxelModel>();
  if (!LoadForTool(files[0], *model)) return ExitFailed;
  auto buffers = std::make_unique<View3DBuffers>();
  PixelBuffer picture;
  RenderThumbnail(*model, size, *buffers, picture);
  const FileResult written = WritePngFile(files[1], picture, 1, true);
  if (!written) {
    ReportFailure(files[1], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
