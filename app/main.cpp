#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/KobaltineApplication.h"
#include "app/TMainWindow.h"
#include "model/SafeFile.h"
#include "resources/Artwork.h"

namespace {

// --help and --version, alone on the command line, answer without a display, so that
// scripts and the manual page generator can ask. Anything else is a model to open.
bool AnswerCommandLineQuestion(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("kobaltine %s\n", KOBALTINE_VERSION);
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "Usage: kobaltine [FILE]\n"
        "Edit voxel animation models (*.vxl, as the two classic strategy games use them)\n"
        "layer by layer, with a 3D preview, palettes and every section of a file.\n"
        "\n"
        "  FILE       the model to open when the window first appears\n"
        "  --help     show this help and exit\n"
        "  --version  show the version and exit\n"
        "\n"
        "With no FILE the editor starts empty; File > New makes a model and File > Open\n"
        "opens one. vxltool(1) does the same work from the shell.\n");
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerCommandLineQuestion(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
  // A save cut short by a signal leaves no half-written temporary file behind.
  RemoveTemporaryFilesOnSignals();
  KobaltineApplication app(argc, argv);
  try {
    app.setWindowIcon(ArtAppIcon());
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    TMainWindow window(RebuildCommandLine(argv[0], arguments));
    window.showMaximized();
    app.exec();
  } catch (const std::exception& e) {
    ShowTopLevelError(QString::fromLocal8Bit(e.what()));
  }
  return 0;
}
