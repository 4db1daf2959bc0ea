// vxltool COMMAND ARGS...: inspect, convert and create voxel files from the shell.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/VxlTool.h"

namespace {

// One line per command; a new command adds its file and its line here.
constexpr VxlToolCommand Commands[] = {
    {"info", "FILE", "name, extent, normal version, voxel count and tailer values", RunInfo},
    {"dump", "FILE", "the extent, then 'x y z colour normal' for every voxel", RunDump},
    {"resave", "IN OUT", "load IN and save it to OUT", RunResave},
    {"new", "X Y Z OUT", "save an empty model of the given extent", RunNew},
};

std::string CommandNames() {
  std::string names;
  for (const VxlToolCommand& c : Commands)
    names += (names.empty() ? "" : ", ") + std::string(c.name);
  return names;
}

}  // namespace

std::span<const VxlToolCommand> ToolCommands() {
  return Commands;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: vxltool COMMAND [ARGS...] (commands: %s; 'vxltool help' explains them)\n",
                 CommandNames().c_str());
    return ExitUsage;
  }
  const char* name = argv[1];
  if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0) {
    for (const VxlToolCommand& c : Commands)
      std::printf("vxltool %s %s\n    %s\n", c.name, c.arguments, c.summary);
    return FinishOutput();
  }
  for (const VxlToolCommand& c : Commands) {
    if (std::strcmp(name, c.name) != 0) continue;
    try {
      return c.run(std::span<char* const>(argv + 2, std::size_t(argc - 2)));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vxltool %s: %s\n", c.name, e.what());
      return ExitFailed;
    }
  }
  std::fprintf(stderr, "vxltool: unknown command '%s' (commands: %s)\n", name,
               CommandNames().c_str());
  return ExitUsage;
}
