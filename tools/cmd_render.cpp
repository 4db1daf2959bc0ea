// vxltool render FILE OUT.png [options], or FILE... --out-dir DIR [options]: one layer
// drawn by the slice view's own render.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/SliceRender.h"
#include "model/Messages.h"
#include "tools/PngFile.h"
#include "tools/PrintableText.h"
#include "tools/VxlTool.h"

namespace fs = std::filesystem;

namespace {

struct RenderRequest {
  SliceViewState view;  // the editor's defaults, but zoom 1
  bool layerGiven = false;
  std::int32_t layer = 0;
  std::int32_t section = 0;
  const char* outDir = nullptr;
  std::vector<const char*> files;
};

// Reads the options into request: ExitOk, or ExitUsage after printing why.
int ParseRenderArguments(std::span<char* const> args, RenderRequest& request) {
  request.view.Zoom = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      request.files.push_back(args[i]);
    } else if (arg == "--normals") {
      request.view.NormalsMode = true;
    } else if (arg == "--hide-underlay") {
      request.view.UnderlayHidden = true;
    } else if (arg != "--layer" && arg != "--zoom" && arg != "--background" && arg != "--out-dir" &&
               arg != "--section") {
      return BadArgument("render", "unknown option '" + arg + "'");
    } else if (i + 1 >= args.size()) {
      return BadArgument("render", arg + " needs a value");
    } else {
      const char* value = args[++i];
      const std::string quoted = "'" + std::string(value) + "'";
      std::uint32_t rgb = 0;
      if (arg == "--out-dir") {
        request.outDir = value;
      } else if (arg == "--layer") {
        request.layerGiven = true;
        if (!ParseNumber(value, std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::max(), request.layer))
          return BadArgument("render", "--layer wants a whole number, not " + quoted);
      } else if (arg == "--section") {
        if (!ParseNumber(value, 0, std::numeric_limits<std::int32_t>::max(), request.section))
          return BadArgument("render", "--section wants 0 or more, not " + quoted);
      } else if (arg == "--zoom") {
        if (!ParseNumber(value, 1, 16, request.view.Zoom))
          return BadArgument("render", "--zoom wants 1 to 16, not " + quoted);
      } else if (!ParseColour(value, rgb)) {
        return BadArgument("render", "--background wants RRGGBB, not " + quoted);
      } else {
        request.view.BackgroundColour = PackRGB(rgb >> 16, rgb >> 8, rgb);
      }
    }
  }
  const bool fits = request.outDir ? !request.files.empty() : request.files.size() == 2;
  return fits ? ExitOk : UsageError("render");
}

// Working memory, allocated once for every file of a batch.
struct RenderWork {
  TVoxelModel model;
  SlicePlanes planes;
  PixelBuffer slice;
};

enum class Outcome { Written, Failed, BadLayer };

Outcome RenderOne(const std::string& in, const std::string& out, const RenderRequest& request,
                  bool batch, RenderWork& work) {
  if (!LoadForTool(in, work.model, std::size_t(request.section))) return Outcome::Failed;
  const std::int32_t top = std::int32_t(work.model.SizeZ) - 1;
  SliceViewState view = request.view;
  view.CurrentLayer = request.layerGiven ? request.layer : top;
  if (view.CurrentLayer < 0 || view.CurrentLayer > top) {
    const std::string message =
        "layer " + std::to_string(view.CurrentLayer) + " is outside 0.." + std::to_string(top);
    if (batch)
      ReportFailure(in, message.c_str());
    else
      BadArgument("render", message);
    return Outcome::BadLayer;
  }
  RenderSlice(work.model, view, work.planes, work.slice);
  if (const FileResult written = WritePngFile(out, work.slice); !written) {
    ReportFailure(out, MsgCannotSave, written.error);
    return Outcome::Failed;
  }
  return Outcome::Written;
}

}  // namespace

int RunRender(std::span<char* const> args) {
  RenderRequest request;
  if (const int status = ParseRenderArguments(args, request); status != ExitOk) return status;
  auto work = std::make_unique<RenderWork>();

  if (!request.outDir) {
    switch (RenderOne(request.files[0], request.files[1], request, false, *work)) {
      case Outcome::Written:
        return ExitOk;
      case Outcome::Failed:
        return ExitFailed;
      case Outcome::BadLayer:
        return ExitUsage;
    }
  }

  // A batch over a mod folder: every file is tried, each failure is reported and the
  // rest go on.
  std::error_code ec;
  const fs::path dir(request.outDir);
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) {
    std::fprintf(stderr, "vxltool render: cannot make the folder '%s'\n",
                 PrintableText(request.outDir).c_str());
    return ExitFailed;
  }
  std::set<fs::path> written;
  bool failed = false;
  for (const char* in : request.files) {
    const fs::path out = dir / fs::path(in).filename().replace_extension(".png");
    // Two inputs of the same name from different folders must not overwrite each other.
    if (written.count(out.filename())) {
      ReportFailure(in,
                    ("a file named " + out.filename().string() + " was already written").c_str());
      failed = true;
      continue;
    }
    if (RenderOne(in, out.string(), request, true, *work) == Outcome::Written)
      written.insert(out.filename());
    else
      failed = true;
  }
  return failed ? ExitFailed : ExitOk;
}
