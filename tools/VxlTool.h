#pragma once
// The command-line companion: one small function per command, found by name in the
// command table of vxltool.cpp. Output formats are an interface that scripts rely on.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/FileFormats.h"
#include "model/VoxelModel.h"

// Exit statuses of every command.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;  // the file was rejected or could not be written
constexpr int ExitUsage = 2;   // wrong arguments

struct VxlToolCommand {
  const char* name;
  const char* arguments;  // e.g. "FILE", shown in the usage line
  const char* summary;
  int (*run)(std::span<char* const> args);  // the arguments after the command name
  const char* details;  // options and notes for 'vxltool NAME --help', each line ending in \n
};

// The command table, for usage lines.
std::span<const VxlToolCommand> ToolCommands();

// Prints "usage: vxltool NAME ARGUMENTS" as one line on standard error; returns ExitUsage.
int UsageError(const char* commandName);

// Prints "vxltool NAME: message" as one line on standard error; returns ExitUsage.
int BadArgument(const char* commandName, const std::string& message);

// Loads path into model and makes its section the edited one, or reports the reader's
// message (or that the file has no such section) and returns false. The reader is the
// format table's for the path's extension; any other name is read as a voxel file.
bool LoadForTool(const std::string& path, TVoxelModel& model, std::size_t section = 0,
                 const ReadOptions& options = {});

// Takes "--section N" (0-based) out of args when it is there; section stays as it was
// otherwise. False after printing why the value is wrong (then exit with ExitUsage).
bool TakeSectionOption(const char* commandName, std::vector<char*>& args, std::size_t& section);

// The commands that write a voxel file write one whatever OUT is called, but a name that
// the format table gives to another format would hide a voxel file under a false name:
// true, after printing a usage error that points to convert (then exit with ExitUsage).
bool NamesAnotherFormat(const char* commandName, const std::string& out);

// One failure of a command, as one line on standard error that names the file and, for
// a failure of the system, its cause: "out.vxl: Could not write the file! (Permission
// denied)". error is an errno, or 0 when the file itself was the trouble.
void ReportFailure(const std::string& path, const char* message, int error = 0);

// Loads every file in turn and prints it, with the given section as the edited one;
// with several files each file's output follows a line "== FILE ==", and a rejected file
// is reported as "FILE: message" while the rest go on. ExitFailed when any file was
// rejected.
int ForEachModel(const char* commandName, std::span<char* const> files,
                 void (*print)(const TVoxelModel& model), std::size_t section = 0);

// Non-empty cells inside the section's extent.
std::size_t CountVoxels(const SectionView& section);

// Flushes standard output; a failed write (a full disk, a closed pipe) gives ExitFailed.
int FinishOutput();

// A whole decimal number (an optional sign, then digits only) inside lo..hi.
bool ParseNumber(const char* text, std::int32_t lo, std::int32_t hi, std::int32_t& value);
// Six hexadecimal digits RRGGBB, '#' in front allowed; gives 0xRRGGBB.
bool ParseColour(const char* text, std::uint32_t& rgb);

int RunInfo(std::span<char* const> args);
int RunDump(std::span<char* const> args);
int RunResave(std::span<char* const> args);
int RunNew(std::span<char* const> args);
int RunRender(std::span<char* const> args);
int RunView(std::span<char* const> args);
int RunPalette(std::span<char* const> args);
int RunExtract(std::span<char* const> args);
int RunJoin(std::span<char* const> args);
int RunNormals(std::span<char* const> args);
int RunThumbnail(std::span<char* const> args);
int RunConvert(std::span<char* const> args);
