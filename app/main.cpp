#include <exception>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Forms.h"
#include "app/KobaltineApplication.h"
#include "app/TMainWindow.h"
#include "model/SafeFile.h"
#include "resources/Artwork.h"

int main(int argc, char** argv) {
  // A save cut short by a signal leaves no half-written temporary file behind.
  RemoveTemporaryFilesOnSignals();
  KobaltineApplication app(argc, argv);
  try {
    app.setWindowIcon(ArtAppIcon());
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    CreateForms(RebuildCommandLine(argv[0], arguments));
    MainWindow->showMaximized();
    app.exec();
  } catch (const std::exception& e) {
    ShowTopLevelError(QString::fromLocal8Bit(e.what()));
  }
  DestroyForms();
  return 0;
}
