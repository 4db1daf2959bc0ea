#pragma once
// The command-line companion: one small function per command, found by name in the
// command table of vxltool.cpp. Output formats are an interface that scripts rely on.

#include <span>
#include <string>

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
};

// The command table, for usage lines.
std::span<const VxlToolCommand> ToolCommands();

// Prints "usage: vxltool NAME ARGUMENTS" as one line on standard error; returns ExitUsage.
int UsageError(const char* commandName);

// Loads path into model, or prints the reader's message as the only line on standard
// error and returns false.
bool LoadForTool(const std::string& path, TVoxelModel& model);

// Non-empty cells inside the extent.
std::size_t CountVoxels(const TVoxelModel& model);

// Flushes standard output; a failed write (a full disk, a closed pipe) gives ExitFailed.
int FinishOutput();

int RunInfo(std::span<char* const> args);
int RunDump(std::span<char* const> args);
int RunResave(std::span<char* const> args);
int RunNew(std::span<char* const> args);
