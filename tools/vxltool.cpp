// vxltool COMMAND ARGS...: inspect, convert, render and create voxel files from the shell.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "model/SafeFile.h"
#include "tools/PrintableText.h"
#include "tools/VxlTool.h"

namespace {

// Literals, so that the commands' notes can be joined to it.
#define BATCH_NOTE                                                                        \
  "With several files, each file's output follows a line '== FILE =='; a rejected file\n" \
  "is reported on standard error as 'FILE: message' and the others go on.\n"

#define NAME_NOTE                                                                           \
  "A name is printed as the file holds it, but for control characters and bytes that are\n" \
  "no UTF-8 text: each such byte shows as \\xHH, and a backslash as \\\\.\n"

#define VOX_NOTE \
  "A .vox file is read as convert reads it: one section per model, computed normals.\n"

// One line per command; a new command adds its file and its line here.
constexpr VxlToolCommand Commands[] = {
    {"info", "FILE...",
     "the section count, then each section's name, extent, normal version, voxel count and "
     "tailer values",
     RunInfo,
     "The lines are 'sections: N', then for every section 'section I' and its own "
     "lines.\n" NAME_NOTE VOX_NOTE BATCH_NOTE},
    {"dump", "[--section N] FILE...",
     "a section's extent, then 'x y z colour normal' for every voxel", RunDump,
     "  --section N          the section, 0 for the first (default 0)\n" VOX_NOTE BATCH_NOTE},
    {"resave", "IN OUT", "load IN and save it, every section, to OUT", RunResave, ""},
    {"new", "X Y Z OUT", "save an empty model of the given extent", RunNew,
     "Each size is read as the New dialog reads it (its leading number) and must be 1 to 255.\n"},
#ifdef VXLTOOL_PNG
    {"render", "FILE OUT.png [OPTIONS] | FILE... --out-dir DIR [OPTIONS]",
     "one layer as the slice view draws it, as PNG", RunRender,
     "  --layer N            the layer, 0 to height - 1 (default: the top layer)\n"
     "  --zoom N             pixels per voxel, 1 to 16 (default 1)\n"
     "  --normals            show the surface normals instead of the colours\n"
     "  --hide-underlay      leave out what lies below empty cells\n"
     "  --background RRGGBB  the colour of empty cells (default 2E5470, the editor's)\n"
     "  --section N          the section, 0 for the first (default 0)\n"
     "  --out-dir DIR        render every FILE into DIR, named after it with .png;\n"
     "                       a failed file is reported as 'FILE: message' and the others go on\n"},
    {"view",
     "FILE OUT.png [--angles X,Y,Z | --preset 1..4] [--scale 1..4] [--background RRGGBB] "
     "[--section N] [--lighting]",
     "the 448 x 448 3D view of a section, as PNG", RunView,
     "  --angles X,Y,Z       the three turns, 0 to 255 each (default 0,0,0)\n"
     "  --preset N           1 basic view, 2 face forward, 3 side view, 4 cameo\n"
     "  --scale N            each pixel as an N x N square, 1 to 4 (default 1)\n"
     "  --background RRGGBB  the colour around the model (default EFEFEF)\n"
     "  --section N          the section, 0 for the first (default 0)\n"
     "  --lighting           shade each voxel by its surface normal\n"},
    {"thumbnail", "-s SIZE IN OUT.png",
     "a file manager's picture of a model: its first section from the cameo angles", RunThumbnail,
     "  -s, --size SIZE   the largest side of the picture, 1 to 4096\n"
     "The voxels are lit by their normals when the section has normal version 2 or 4. The\n"
     "picture is cut to the voxels, scaled by a whole factor to fit SIZE x SIZE, and clear\n"
     "around them. A file that cannot be read gives exit status 1 and no picture.\n"},
#endif
    {"normals", "IN OUT [--radius R] [--section N]",
     "set every coloured voxel's normal from the shape of the surface around it", RunNormals,
     "  --radius R    how far around each voxel the surface is looked at, 1 to 5 (default 5)\n"
     "  --section N   the section to work on (default 0); every section is saved\n"
     "The model needs normal version 2 or 4. A voxel deep inside a solid keeps its normal.\n"},
    {"convert", "IN OUT [--normals ts|ra2] [--radius R]",
     "turn a MagicaVoxel model (.vox) into a voxel file (.vxl), or a voxel file into one",
     RunConvert,
     "  --normals ts|ra2   for .vox input: the sections' normals, ts for Tiberian Sun\n"
     "                     (version 2, the default) or ra2 for Red Alert 2 (version 4)\n"
     "  --radius R         for .vox input: how far around each voxel the surface is looked\n"
     "                     at when its normal is computed, 1 to 5 (default 5)\n"
     "The extensions give the direction. Each .vox model becomes a section, named after its\n"
     "node or MODEL 1, MODEL 2, ..., with the transformation values of a new model; each\n"
     "section becomes a .vox model with the file's palette. Voxels without a colour have no\n"
     "place in a .vox file: they are left out, with a warning on standard error.\n"},
    {"palette", "get FILE.vxl OUT.pal | set FILE.vxl IN.pal OUT.vxl",
     "save a model's palette as a JASC palette file, or replace it from one", RunPalette,
     "get writes the palette of FILE.vxl to OUT.pal; set writes FILE.vxl with the palette\n"
     "of IN.pal to OUT.vxl (which may be FILE.vxl itself). The palette is the file's,\n"
     "shared by all its sections.\n"},
    {"extract", "IN N OUT", "save section N of IN (0 for the first) alone, with IN's palette",
     RunExtract, ""},
    {"join", "OUT IN...", "save the sections of all the inputs, in order, as one file", RunJoin,
     "OUT gets the palette of the first input; a file holds at most 512 sections.\n"},
};

std::string CommandNames() {
  std::string names;
  for (const VxlToolCommand& c : Commands)
    names += (names.empty() ? "" : ", ") + std::string(c.name);
  return names;
}

// Every command with its summary and, indented below it, its options and notes: the
// manual page is made from this text.
int PrintToolHelp() {
  for (const VxlToolCommand& c : Commands) {
    std::printf("vxltool %s %s\n    %s\n", c.name, c.arguments, c.summary);
    if (*c.details != '\0') std::printf("\n");
    for (const char* line = c.details; *line != '\0';) {
      const char* end = std::strchr(line, '\n');
      const std::size_t n = end ? std::size_t(end - line) : std::strlen(line);
      std::printf("    %.*s\n", int(n), line);
      line += end ? n + 1 : n;
    }
  }
  std::printf(
      "vxltool COMMAND --help\n    the usage and options of one command\n"
      "vxltool --version\n    the version of the tool\n"
      "Exit status: 0 done, 1 a file was rejected or could not be written, 2 wrong arguments.\n"
      "A failure is one line on standard error: the file, the message and, for a failure of\n"
      "the system, its cause. Paths and names are printed with their control characters\n"
      "(and any bytes that are no UTF-8 text) as \\xHH, and a backslash as \\\\.\n"
      "Output files are written whole or not at all; only in a folder that takes no new file\n"
      "is a writable file overwritten in place.\n");
  return FinishOutput();
}

int PrintCommandHelp(const VxlToolCommand& c) {
  std::printf("usage: vxltool %s %s\n%s\n%s", c.name, c.arguments, c.summary, c.details);
  return FinishOutput();
}

}  // namespace

std::span<const VxlToolCommand> ToolCommands() {
  return Commands;
}

int main(int argc, char** argv) {
  // An interrupted command leaves no partial output file behind.
  RemoveTemporaryFilesOnSignals();
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: vxltool COMMAND [ARGS...] (commands: %s; 'vxltool help' explains them)\n",
                 CommandNames().c_str());
    return ExitUsage;
  }
  const char* name = argv[1];
  if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0) return PrintToolHelp();
  if (std::strcmp(name, "--version") == 0) {
    std::printf("vxltool %s\n", VXLTOOL_VERSION);
    return FinishOutput();
  }
  for (const VxlToolCommand& c : Commands) {
    if (std::strcmp(name, c.name) != 0) continue;
    const std::span<char* const> args(argv + 2, std::size_t(argc - 2));
    for (const char* a : args)
      if (std::strcmp(a, "--help") == 0) return PrintCommandHelp(c);
    try {
      return c.run(args);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vxltool %s: %s\n", c.name, PrintableText(e.what()).c_str());
      return ExitFailed;
    }
  }
#ifndef VXLTOOL_PNG
  if (std::strcmp(name, "render") == 0 || std::strcmp(name, "view") == 0 ||
      std::strcmp(name, "thumbnail") == 0) {
    std::fprintf(stderr, "vxltool: '%s' writes PNG and is built only with the editor (Qt)\n", name);
    return ExitUsage;
  }
#endif
  std::fprintf(stderr, "vxltool: unknown command '%s' (commands: %s)\n",
               PrintableText(name).c_str(), CommandNames().c_str());
  return ExitUsage;
}
