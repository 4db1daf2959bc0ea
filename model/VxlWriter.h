#pragma once
// Writes the model as a single-section voxel animation file.

#include <string>

#include "model/SafeFile.h"
#include "model/VoxelModel.h"

// Through SafeFileWriter: on failure the previous file is untouched and the result
// carries the cause. The model is only read; the caller updates the document state.
FileResult WriteVoxelFile(const std::string& path, const TVoxelModel& model);
