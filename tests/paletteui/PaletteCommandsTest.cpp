// The Colours menu's file commands: loading refreshes the views and is one step, every
// failing file says why and keeps the palette, saving reads back the same, and the file
// dialogs always open with an empty name.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QToolButton>

#include "PaletteTestSupport.h"
#include "widgets/FileDialogs.h"
#include "palette/PaletteFile.h"
#include "view3d/TThreeDWindow.h"

using namespace kobaltine_test;
using namespace palette_test;

namespace {
QString WriteText(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
    qFatal("cannot write %s", name);
  return path;
}

QByteArray JascText(int count, int entries) {
  QByteArray text = "JASC-PAL\r\n0100\r\n" + QByteArray::number(count) + "\r\n";
  for (int i = 0; i < entries; ++i)
    text += QByteArray::number(255 - i) + " " + QByteArray::number(i) + " 100\r\n";
  return text;
}

QFileDialog* PalDial() {
  return Form<QFileDialog>("PalDial");
}
QFileDialog* PalSDial() {
  return Form<QFileDialog>("PalSDial");
}

// Chooses the menu item whose file dialog gets `name` typed in and accepted (or cancelled).
void ChooseFile(QFileDialog* dialog, const char* command, const QString& name,
                bool accept = true) {
  WhenShowing(dialog, [=] {
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    if (accept)
      static_cast<QDialog*>(dialog)->accept();
    else
      dialog->reject();
  });
  Trigger(command);
}
}  // namespace

class PaletteCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void loadingRefreshesTheViewsAndIsOneStep() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    Trigger("View3D1");
    const int renders = Form<TThreeDWindow>("ThreeDWindow")->RenderCount;
    const QString path = WriteText(dir, "good.pal", JascText(256, 256));

    ChooseFile(PalDial(), "LoadPal1", path);
    for (int i = 0; i < 256; ++i) QCOMPARE(Model().Palette[i], PackRGB(255 - i, i, 100));
    QCOMPARE(SlicePixel(1, 1), PackRGB(243, 12, 100));
    QVERIFY(Form<TThreeDWindow>("ThreeDWindow")->RenderCount > renders);
    // The file holds the palette, so loading one is a change of the document: one step.
    QVERIFY(SaveEnabled());
    QVERIFY(Doc().IsModified());
    QCOMPARE(FileNameFieldText(PalDial()), std::string());
    QCOMPARE(Button("UndoButton")->toolTip(), QString("Undo Load Palette"));

    // Loading the same palette again changes nothing and makes no step.
    Trigger("Undo1");
    QVERIFY(!SaveEnabled());
    Main()->ReadPaletteFile(path.toStdString());
    Main()->ReadPaletteFile(path.toStdString());
    QVERIFY(SaveEnabled());
    Trigger("Undo1");
    QVERIFY(!SaveEnabled());
    QVERIFY(!Action("Undo1")->isEnabled());
  }

  void failingFilesSayWhyAndKeepThePalette() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = Model().Palette;
    const struct {
      QString path;
      const char* message;
    } cases[] = {
        {dir.filePath("missing.pal"), "File not found!"},
        {WriteText(dir, "lower.pal", JascText(256, 256).toLower()), "Incorrect Format!"},
        {WriteText(dir, "sixteen.pal", JascText(16, 16)), "Must be a 256-colour palette!"},
        {WriteText(dir, "short.pal", JascText(256, 200)), "File Error!"},
    };
    std::uint8_t shown = 12;
    for (const auto& c : cases) {
      // A cell changed behind the views' back shows only once they are refreshed.
      shown = std::uint8_t(shown + 1);
      DraftModel().Colours.at(1, 1, 3) = shown;
      QString message;
      AnswerMessage(&message);
      Main()->ReadPaletteFile(c.path.toStdString());
      QCOMPARE(message, QString(c.message));
      QVERIFY(Model().Palette == before);
      QCOMPARE(SlicePixel(1, 1), before[shown]);  // refreshed all the same
    }
  }

  void savingReadsBackAndReportsAMissingFolder() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    ChooseFile(PalSDial(), "SavePal1", dir.filePath("out"));
    PaletteRGB reread{};
    QCOMPARE(int(ReadPaletteFile(dir.filePath("out.PAL").toStdString(), reread)),
             int(PaletteStatus::Ok));
    QVERIFY(reread == Model().Palette);
    QCOMPARE(FileNameFieldText(PalSDial()), std::string());
    QVERIFY(!SaveEnabled());

    QString message;
    AnswerMessage(&message);
    ChooseFile(PalSDial(), "SavePal1", dir.filePath("nowhere/x.PAL"));
    QCOMPARE(message, QString("File not found!"));
    QVERIFY(!QFile::exists(dir.filePath("nowhere/x.PAL")));
  }

  void cancellingAFileDialogChangesNothing() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = Model().Palette;
    const QString good = WriteText(dir, "good.pal", JascText(256, 256));
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    ChooseFile(PalDial(), "LoadPal1", good, false);
    QVERIFY(Model().Palette == before);
    QCOMPARE(FileNameFieldText(PalDial()), std::string());

    ChooseFile(PalSDial(), "SavePal1", dir.filePath("typed.pal"), false);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
    QCOMPARE(FileNameFieldText(PalSDial()), std::string());
    QVERIFY(!SaveEnabled());
  }
};

KOBALTINE_TEST_MAIN(PaletteCommandsTest)
#include "PaletteCommandsTest.moc"
