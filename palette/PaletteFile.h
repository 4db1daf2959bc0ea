#pragma once
// JASC palette files: a word-based reader and the exact 259-line writer.

#include <string>

#include "model/VoxelModel.h"

enum class PaletteStatus {
  Ok,
  FileNotFound,     // "File not found!" (load: cannot open; save: cannot create)
  IncorrectFormat,  // "Incorrect Format!"
  Not256Colours,    // "Must be a 256-colour palette!"
  FileError,        // "File Error!": the file ends before its last colour value
};

const char* PaletteStatusMessage(PaletteStatus status);

// Replaces all 256 entries of palette, or none of them. error, when given, receives the
// system's reason a file could not be opened or read (errno), and 0 otherwise.
PaletteStatus ReadPaletteFile(const std::string& path, PaletteRGB& palette, int* error = nullptr);
// Through SafeFileWriter: a failed save leaves the previous file whole; error, when
// given, receives its errno (0 on success).
PaletteStatus WritePaletteFile(const std::string& path, const PaletteRGB& palette,
                               int* error = nullptr);
