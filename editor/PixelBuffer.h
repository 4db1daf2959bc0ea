#pragma once
// A plain 32-bit off-screen image. Pixels are 0xFFRRGGBB so that a window can show
// the buffer without conversion; model colours (red in the low byte) go through
// ToPixel once per palette entry.

#include <cstdint>
#include <vector>

#include "model/VoxelModel.h"

using Pixel = std::uint32_t;

constexpr Pixel ToPixel(std::int32_t colour) {
  return 0xFF000000u | (Pixel(RedOf(colour)) << 16) | (Pixel(GreenOf(colour)) << 8) |
         Pixel(BlueOf(colour));
}
constexpr std::int32_t FromPixel(Pixel p) {
  return PackRGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

class PixelBuffer {
 public:
  // Keeps its memory when it shrinks, so that zooming back and forth never allocates
  // again once the largest size has been seen.
  void Resize(int width, int height) {
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    const std::size_t need = std::size_t(width_) * std::size_t(height_);
    if (pixels_.size() < need) pixels_.resize(need);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Pixel* Data() { return pixels_.data(); }
  const Pixel* Data() const { return pixels_.data(); }
  Pixel* Row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
  const Pixel* Row(int y) const { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
  Pixel At(int x, int y) const { return Row(y)[x]; }
  void Fill(Pixel p);
  // Right and bottom exclusive; clipped to the image.
  void FillRect(int left, int top, int right, int bottom, Pixel p);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};
