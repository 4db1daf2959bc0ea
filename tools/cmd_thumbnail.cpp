// vxltool thumbnail -s SIZE IN OUT.png: the picture a file manager shows for a model,
// the 3D view's cameo of its first section, lit where its normals allow, cut to the
// drawn voxels and scaled by a whole factor to fit SIZE x SIZE, on a clear background.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "model/Messages.h"
#include "model/NewModel.h"
#include "tools/PngFile.h"
#include "tools/VxlTool.h"
#include "view3d/Renderer3D.h"

namespace {

constexpr int CameoAngles[3] = {219, 228, 109};
constexpr Pixel Clear = 0;  // alpha 0: the voxels' pixels all have alpha 255

struct Box {
  int x0 = ViewSide, y0 = ViewSide, x1 = -1, y1 = -1;
  bool Empty() const { return x1 < x0; }
};

Box DrawnBox(const PixelBuffer& view) {
  Box b;
  for (int y = 0; y < view.Height(); ++y) {
    const Pixel* row = view.Row(y);
    for (int x = 0; x < view.Width(); ++x)
      if (row[x] != Clear) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
      }
  }
  return b;
}

// The box's pixels made smaller by a whole divisor: each output pixel the average of a
// divisor x divisor square, weighted by alpha so that the clear edge does not darken.
void Shrink(const PixelBuffer& view, const Box& b, int divisor, PixelBuffer& out) {
  const int w = b.x1 - b.x0 + 1, h = b.y1 - b.y0 + 1;
  out.Resize((w + divisor - 1) / divisor, (h + divisor - 1) / divisor);
  for (int oy = 0; oy < out.Height(); ++oy)
    for (int ox = 0; ox < out.Width(); ++ox) {
      unsigned a = 0, r = 0, g = 0, bl = 0, n = 0;
      for (int y = b.y0 + oy * divisor; y < std::min(b.y0 + (oy + 1) * divisor, b.y1 + 1); ++y)
        for (int x = b.x0 + ox * divisor; x < std::min(b.x0 + (ox + 1) * divisor, b.x1 + 1); ++x) {
          const Pixel p = view.At(x, y);
          const unsigned pa = p >> 24;
          a += pa;
          r += pa * ((p >> 16) & 0xFF);
          g += pa * ((p >> 8) & 0xFF);
          bl += pa * (p & 0xFF);
          ++n;
        }
      Pixel q = Clear;
      if (a > 0)
        q = Pixel((a + n / 2) / n) << 24 | Pixel((r + a / 2) / a) << 16 |
            Pixel((g + a / 2) / a) << 8 | Pixel((bl + a / 2) / a);
      out.Row(oy)[ox] = q;
    }
}

}  // namespace

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
  buffers->ViewBitmap.Fill(Clear);
  // Lit when the section's normals belong to a set the editor knows; plain otherwise.
  const bool lit = model->NormalType == 2 || model->NormalType == 4;
  RenderView(*model, CameoAngles[0], CameoAngles[1], CameoAngles[2], ComputeViewSpan(*model), Clear,
             *buffers, lit);
  const PixelBuffer& view = buffers->ViewBitmap;
  Box drawn = DrawnBox(view);
  if (drawn.Empty()) drawn = {0, 0, 0, 0};  // nothing to see: one clear pixel
  const int side = std::max(drawn.x1 - drawn.x0, drawn.y1 - drawn.y0) + 1;
  // Larger pictures by a whole factor; smaller ones by a whole divisor.
  const int scale = std::max(1, size / side);
  const int divisor = (side + size - 1) / size;
  PixelBuffer picture;
  Shrink(view, drawn, side > size ? divisor : 1, picture);
  const FileResult written = WritePngFile(files[1], picture, side > size ? 1 : scale, true);
  if (!written) {
    ReportFailure(files[1], MsgCannotSave, written.error);
    return ExitFailed;
  }
  return ExitOk;
}
