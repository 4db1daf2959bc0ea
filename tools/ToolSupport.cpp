#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "model/Messages.h"
#include "model/SafeFile.h"
#include "tools/PrintableText.h"
#include "tools/VxlTool.h"

int UsageError(const char* commandName) {
  for (const VxlToolCommand& c : ToolCommands())
    if (std::strcmp(c.name, commandName) == 0)
      std::fprintf(stderr, "usage: vxltool %s %s\n", c.name, c.arguments);
  return ExitUsage;
}

int BadArgument(const char* commandName, const std::string& message) {
  std::fprintf(stderr, "vxltool %s: %s\n", commandName, PrintableText(message).c_str());
  return ExitUsage;
}

void ReportFailure(const std::string& path, const char* message, int error) {
  // "File not found!" already says what a missing file's cause would say.
  const bool saysItAll = error == ENOENT && std::strcmp(message, MsgFileNotFound) == 0;
  const std::string file = PrintableText(path), text = PrintableText(message);
  if (error != 0 && !saysItAll)
    std::fprintf(stderr, "%s: %s (%s)\n", file.c_str(), text.c_str(),
                 FileErrorText(error).c_str());
  else
    std::fprintf(stderr, "%s: %s\n", file.c_str(), text.c_str());
}

bool NamesAnotherFormat(const char* commandName, const std::string& out) {
  const FileFormat* format = FormatForPath(out);
  if (format == nullptr || format == &FileFormats().front()) return false;
  BadArgument(commandName, "'" + out + "' names a " + format->Extension + " file, but " +
                               commandName + " writes " + FileFormats().front().Extension +
                               " files (vxltool convert writes " + format->Extension + ")");
  return true;
}

bool LoadForTool(const std::string& path, TVoxelModel& model, std::size_t section,
                 const ReadOptions& options) {
  const FileFormat* format = FormatForPath(path);
  if (format == nullptr) format = &FileFormats().front();
  int error = 0;
  if (const char* message = ReadWith(*format, path, model, options, &error)) {
    ReportFailure(path, message, error);
    return false;
  }
  const std::size_t count = model.SectionCount();
  if (section >= count) {
    const std::string message = "section " + std::to_string(section) + " does not exist (" +
                                (count == 1 ? std::string("only section 0")
                                            : "sections 0 to " + std::to_string(count - 1)) +
                                ")";
    ReportFailure(path, message.c_str());
    return false;
  }
  try {
    model.SelectSection(section);
  } catch (const std::bad_alloc&) {
    ReportFailure(path, MsgNoMemory);
    return false;
  }
  return true;
}

bool TakeSectionOption(const char* commandName, std::vector<char*>& args, std::size_t& section) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (std::strcmp(args[i], "--section") != 0) continue;
    if (i + 1 >= args.size()) {
      BadArgument(commandName, "--section needs a value");
      return false;
    }
    std::int32_t n = 0;
    if (!ParseNumber(args[i + 1], 0, std::numeric_limits<std::int32_t>::max(), n)) {
      BadArgument(commandName, "--section wants 0 or more, not '" + std::string(args[i + 1]) + "'");
      return false;
    }
    section = std::size_t(n);
    args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i + 2));
    --i;
  }
  return true;
}

std::size_t CountVoxels(const SectionView& section) {
  std::size_t count = 0;
  for (unsigned z = 0; z < section.SizeZ; ++z)
    for (unsigned y = 0; y < section.SizeY; ++y) {
      const std::uint8_t* colours = section.Cells.Colours + section.Cells.At(0, y, z);
      const std::uint8_t* normals = section.Cells.Normals + section.Cells.At(0, y, z);
      for (unsigned x = 0; x < section.SizeX; ++x) count += !IsEmptyCell(colours[x], normals[x]);
    }
  return count;
}

int FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vxltool: could not write the output (%s)\n", std::strerror(errno));
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
                 void (*print)(const TVoxelModel& model), std::size_t section) {
  if (files.empty()) return UsageError(commandName);
  for (const char* file : files)
    if (file[0] == '-' && file[1] != '\0')
      return BadArgument(commandName, "unknown option '" + std::string(file) + "'");
  const bool batch = files.size() > 1;
  auto model = std::make_unique<TVoxelModel>();  // 32 MiB: one for the whole run
  bool failed = false;
  for (const char* file : files) {
    if (!LoadForTool(file, *model, section)) {
      failed = true;
      continue;
    }
    if (batch) std::printf("== %s ==\n", PrintableText(file).c_str());
    print(*model);
  }
  const int output = FinishOutput();
  return failed ? ExitFailed : output;
}
