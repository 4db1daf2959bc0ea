#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "model/VxlReader.h"
#include "tools/VxlTool.h"

int UsageError(const char* commandName) {
  for (const VxlToolCommand& c : ToolCommands())
    if (std::strcmp(c.name, commandName) == 0)
      std::fprintf(stderr, "usage: vxltool %s %s\n", c.name, c.arguments);
  return ExitUsage;
}

int BadArgument(const char* commandName, const std::string& message) {
  std::fprintf(stderr, "vxltool %s: %s\n", commandName, message.c_str());
  return ExitUsage;
}

void ReportFailure(const std::string& path, const char* message, bool batch) {
  if (batch)
    std::fprintf(stderr, "%s: %s\n", path.c_str(), message);
  else
    std::fprintf(stderr, "%s\n", message);
}

bool LoadForTool(const std::string& path, TVoxelModel& model, bool batch) {
  const LoadStatus status = ReadVoxelFile(path, model);
  if (status == LoadStatus::Ok) return true;
  ReportFailure(path, LoadStatusMessage(status), batch);
  return false;
}

std::size_t CountVoxels(const TVoxelModel& model) {
  std::size_t count = 0;
  for (unsigned z = 0; z < model.SizeZ; ++z)
    for (unsigned y = 0; y < model.SizeY; ++y) {
      const std::uint8_t* colours = model.Colours.layer(z) + (y << 8);
      const std::uint8_t* normals = model.Normals.layer(z) + (y << 8);
      for (unsigned x = 0; x < model.SizeX; ++x) count += !IsEmptyCell(colours[x], normals[x]);
    }
  return count;
}

int FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vxltool: could not write the output\n");
    return ExitFailed;
  }
  return ExitOk;
}

bool ParseNumber(const char* text, std::int32_t lo, std::int32_t hi, std::int32_t& value) {
  const char* end = text + std::strlen(text);
  if (*text == '+' && text[1] != '-') ++text;  // from_chars takes a minus only
  std::int32_t v = 0;
  const auto [ptr, ec] = std::from_chars(text, end, v);
  if (ec != std::errc() || ptr != end || v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseColour(const char* text, std::uint32_t& rgb) {
  if (*text == '#') ++text;
  if (std::strlen(text) != 6) return false;
  for (const char* p = text; *p; ++p)
    if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
  std::uint32_t v = 0;
  std::from_chars(text, text + 6, v, 16);
  rgb = v;
  return true;
}

int ForEachModel(const char* commandName, std::span<char* const> files,
                 void (*print)(const TVoxelModel& model)) {
  if (files.empty()) return UsageError(commandName);
  const bool batch = files.size() > 1;
  auto model = std::make_unique<TVoxelModel>();  // 32 MiB: one for the whole run
  bool failed = false;
  for (const char* file : files) {
    if (!LoadForTool(file, *model, batch)) {
      failed = true;
      continue;
    }
    if (batch) std::printf("== %s ==\n", file);
    print(*model);
  }
  const int output = FinishOutput();
  return failed ? ExitFailed : output;
}
