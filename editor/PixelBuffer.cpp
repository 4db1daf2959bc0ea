#include "editor/PixelBuffer.h"

#include <algorithm>

void PixelBuffer::Fill(Pixel p) {
  std::fill_n(pixels_.data(), std::size_t(width_) * std::size_t(height_), p);
}

void PixelBuffer::FillRect(int left, int top, int right, int bottom, Pixel p) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + right, p);
}
