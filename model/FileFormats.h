#pragma once
// The file formats the editor reads and writes, in one table: the file dialogs take
// their filters from it and the companion its conversions, so a new format is one entry.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "model/SafeFile.h"
#include "model/VoxMapping.h"
#include "model/VoxelModel.h"

struct ExportResult {
  FileResult File;
  std::size_t LeftOut = 0;  // voxels the format cannot hold, for a warning
  explicit operator bool() const { return File.ok; }
};

// For formats without normals of their own: the set of the sections made, and how
// their normals are computed. Formats that carry normals ignore them.
using ReadOptions = VoxImportOptions;

struct FileFormat {
  const char* Name;       // the companion's word for it: "vxl", "vox"
  const char* Filter;     // for the file dialogs, e.g. "MagicaVoxel model (*.vox)"
  const char* Extension;  // with its dot, lower case; paths match it in any case
  // Replaces the whole model (every section) by the file's contents and returns
  // nullptr, or leaves it exactly as it was and returns the message for the user; error
  // then holds the system's reason a file could not be opened (errno), or 0.
  const char* (*Read)(const std::string& path, TVoxelModel& model, const ReadOptions& options,
                      int& error);
  // Writes every section; only reads the model, the caller keeps the document state.
  ExportResult (*Write)(const std::string& path, const TVoxelModel& model);
};

// f's Read, with the cause of a failed open going to error when that is given.
const char* ReadWith(const FileFormat& f, const std::string& path, TVoxelModel& model,
                     const ReadOptions& options = {}, int* error = nullptr);

// The editor's own format first.
std::span<const FileFormat> FileFormats();

// The format whose extension ends path, in any case; nullptr when none does.
const FileFormat* FormatForPath(std::string_view path);
// The format of that Name; nullptr when there is none.
const FileFormat* FormatNamed(std::string_view name);

// "12 voxels without a colour were left out", for the user after a write that left
// some out (without a full stop, so each caller ends it its own way).
std::string LeftOutText(std::size_t count);
