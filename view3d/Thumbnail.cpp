#include "view3d/Thumbnail.h"

#include <algorithm>

#include "model/NewModel.h"
#include "view3d/ViewPresets.h"

namespace {

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

// The box's pixels made larger by a whole factor: each one a factor x factor square.
void Enlarge(const PixelBuffer& view, const Box& b, int factor, PixelBuffer& out) {
  const int w = b.x1 - b.x0 + 1, h = b.y1 - b.y0 + 1;
  out.Resize(w * factor, h * factor);
  for (int y = 0; y < h; ++y) {
    Pixel* first = out.Row(y * factor);
    const Pixel* src = view.Row(b.y0 + y) + b.x0;
    for (int x = 0; x < w; ++x) std::fill_n(first + x * factor, factor, src[x]);
    for (int r = 1; r < factor; ++r) std::copy_n(first, out.Width(), out.Row(y * factor + r));
  }
}

}  // namespace

void RenderThumbnail(const TVoxelModel& model, int size, View3DBuffers& buffers,
                     PixelBuffer& picture) {
  buffers.ViewBitmap.Fill(Clear);
  // Lit when the section's normals belong to a set the editor knows; plain otherwise.
  const bool lit = model.NormalType == 2 || model.NormalType == 4;
  RenderView(model, CameoView.X, CameoView.Y, CameoView.Z, ComputeViewSpan(model), Clear, buffers,
             lit);
  const PixelBuffer& view = buffers.ViewBitmap;
  Box drawn = DrawnBox(view);
  if (drawn.Empty()) drawn = {0, 0, 0, 0};  // nothing to see: one clear pixel
  const int side = std::max(drawn.x1 - drawn.x0, drawn.y1 - drawn.y0) + 1;
  if (side > size)
    Shrink(view, drawn, (side + size - 1) / size, picture);
  else
    Enlarge(view, drawn, size / side, picture);
}
