#pragma once
// Reads a voxel animation file, with all its sections, into the model.

#include <string>

#include "model/VoxelModel.h"

enum class LoadStatus {
  Ok,
  FileNotFound,     // "File not found!"
  IncorrectFormat,  // "Incorrect Format!"
  MultiLimbed,      // "Multi-limbed voxels are currently not supported!": no longer given
  TooSmall,         // "Image is too small!"
};

// The user-facing text of a rejection; empty for Ok.
const char* LoadStatusMessage(LoadStatus status);

// Replaces the whole model by the file's contents, or leaves it exactly as it was and
// says why. Only the model is touched; the caller does the document and view set-up.
// Section 0 becomes the edited section. Any bytes are taken: reads stay inside the file,
// every loop is bounded by its size, and so is the memory its sections may claim (a
// file claiming more is "Incorrect Format!").
// error, when given, receives the system's reason a file could not be opened (errno;
// EISDIR for a folder), and 0 otherwise.
LoadStatus ReadVoxelFile(const std::string& path, TVoxelModel& model, int* error = nullptr);
