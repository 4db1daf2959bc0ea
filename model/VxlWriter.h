#pragma once
// Writes the model as a single-section voxel animation file.

#include <string>

#include "model/VoxelModel.h"

// Writes to a temporary file beside the target and renames it over the target only
// when every byte was written; on failure the previous file is untouched and false is
// returned. The model is only read; the caller updates the document state.
bool WriteVoxelFile(const std::string& path, const TVoxelModel& model);
