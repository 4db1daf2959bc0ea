#pragma once
// PNG output of the tool's pictures. The encoding is the image library's; only the
// interface here is free of it, so the commands stay plain C++.

#include <string>

#include "editor/PixelBuffer.h"
#include "model/SafeFile.h"

// Writes image enlarged by scale (each pixel a scale x scale square) as a PNG, through
// SafeFileWriter: RGB, or RGBA with the pixels' alpha when withAlpha. A failure gives
// its cause (an empty or too large image: EINVAL); path is then untouched.
FileResult WritePngFile(const std::string& path, const PixelBuffer& image, int scale = 1,
                        bool withAlpha = false);
