#pragma once
// Writes the model, every section of it, as a voxel animation file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "model/SafeFile.h"
#include "model/VoxelModel.h"

// Through SafeFileWriter: on failure the previous file is untouched and the result
// carries the cause. The model is only read; the caller updates the document state.
FileResult WriteVoxelFile(const std::string& path, const TVoxelModel& model);

// Where the encoded bytes go: n bytes at offset from the start of the file. The span
// data come in order; each section's tables, the tailers and the header are written
// once each, after what follows them. False stops the encoding.
using VoxelFileOutput =
    std::function<bool(std::int64_t offset, const std::uint8_t* data, std::size_t n)>;

// The whole file, through out; false when out failed or the body outgrows the format's
// 32-bit sizes.
bool EncodeVoxelFile(const TVoxelModel& model, const VoxelFileOutput& out);
