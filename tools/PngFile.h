#pragma once
// PNG output of the tool's pictures. The encoding is the image library's; only the
// interface here is free of it, so the commands stay plain C++.

#include <string>

#include "editor/PixelBuffer.h"

// Writes image enlarged by scale (each pixel a scale x scale square) as an RGB PNG, through
// SafeFileWriter. False when the image is empty, too large to encode, or
// the file cannot be written; path is then untouched.
bool WritePngFile(const std::string& path, const PixelBuffer& image, int scale = 1);
