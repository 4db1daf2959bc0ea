#pragma once
// Reads a voxel animation file, with all its sections, into the model.

#include <atomic>
#include <string>

#include "model/VoxelModel.h"

enum class LoadStatus {
  Ok,
  FileNotFound,     // "File not found!"
  IncorrectFormat,  // "Incorrect Format!"
  MultiLimbed,      // "Multi-limbed voxels are currently not supported!": no longer given
  TooSmall,         // "Image is too small!"
  NoMemory,         // "Not enough memory to open the model!"
  Cancelled,        // the user stopped the load: nothing to say
};

// The user-facing text of a rejection; empty for Ok and Cancelled.
const char* LoadStatusMessage(LoadStatus status);

// Lets another thread follow a load and stop it.
struct LoadControl {
  std::atomic<bool> Cancel{false};
  std::atomic<int> Permille{0};  // of the file's columns read so far
};

// Replaces the whole model by the file's contents, or leaves it exactly as it was and
// says why. Only the model is touched; the caller does the document and view set-up.
// Section 0 becomes the edited section. Any bytes are taken: reads stay inside the file
// and every loop is bounded by its size. A file is read whole or refused: one that ends
// before the bytes its header, tables and tailers promise, whose tables point outside
// it, or whose spans run past its end is "Incorrect Format!" (one that ends before its
// tailer's sizes stays "Image is too small!"). The sections that are not edited cost at
// most three times the file's size; a file claiming more is "Incorrect Format!".
// error, when given, receives the system's reason a file could not be opened (errno;
// EISDIR for a folder), and 0 otherwise.
LoadStatus ReadVoxelFile(const std::string& path, TVoxelModel& model, int* error = nullptr,
                         LoadControl* control = nullptr);
