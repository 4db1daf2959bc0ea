// The Colours menu's file commands: loading refreshes the views but is no edit, every
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

// Runs the file dialog's command with `name` typed in and accepted (or cancelled).
void ChooseFile(QFileDialog* dialog, void (TMainWindow::*command)(), const QString& name,
                bool accept = true) {
  WhenShowing(dialog, [=] {
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    if (accept)
      static_cast<QDialog*>(dialog)->accept();
    else
      dialog->reject();
  });
  (MainWindow->*command)();
}

bool SaveEnabled() {
  return MainWindow->Save1->isEnabled() && MainWindow->SaveButton->isEnabled();
}
}  // namespace

class PaletteCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { StartForms(); }

  void loadingRefreshesTheViewsAndIsOneStep() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    MainWindow->View3D1Click();
    const int renders = ThreeDWindow->RenderCount;
    const QString path = WriteText(dir, "good.pal", JascText(256, 256));

    ChooseFile(MainWindow->PalDial, &TMainWindow::LoadPal1Click, path);
    for (int i = 0; i < 256; ++i) QCOMPARE(MainWindow->Model.Palette[i], PackRGB(255 - i, i, 100));
    QCOMPARE(SlicePixel(1, 1), PackRGB(243, 12, 100));
    QVERIFY(ThreeDWindow->RenderCount > renders);
    // The file holds the palette, so loading one is a change of the document: one step.
    QVERIFY(SaveEnabled());
    QVERIFY(!MainWindow->Doc.Modified);
    QCOMPARE(FileNameFieldText(MainWindow->PalDial), std::string());
    QCOMPARE(MainWindow->UndoButton->toolTip(), QString("Undo Load Palette"));

    // Loading the same palette again changes nothing and makes no step.
    MainWindow->Undo1Click();
    QVERIFY(!SaveEnabled());
    MainWindow->ReadPaletteFile(path.toStdString());
    MainWindow->ReadPaletteFile(path.toStdString());
    QVERIFY(SaveEnabled());
    MainWindow->Undo1Click();
    QVERIFY(!SaveEnabled());
    QVERIFY(!MainWindow->Undo1->isEnabled());
  }

  void failingFilesSayWhyAndKeepThePalette() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = MainWindow->Model.Palette;
    const struct {
      QString path;
      const char* message;
    } cases[] = {
        {dir.filePath("missing.pal"), "File not found!"},
        {WriteText(dir, "lower.pal", JascText(256, 256).toLower()), "Incorrect Format!"},
        {WriteText(dir, "sixteen.pal", JascText(16, 16)), "Must be a 256-colour palette!"},
        {WriteText(dir, "short.pal", JascText(256, 200)), "File Error!"},
    };
    for (const auto& c : cases) {
      MainWindow->ScreenImage.fill(Qt::magenta);  // a refresh paints it over
      QString message;
      AnswerMessage(&message);
      MainWindow->ReadPaletteFile(c.path.toStdString());
      QCOMPARE(message, QString(c.message));
      QVERIFY(MainWindow->Model.Palette == before);
      QCOMPARE(SlicePixel(1, 1), before[12]);  // refreshed all the same
    }
  }

  void savingReadsBackAndReportsAMissingFolder() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    ChooseFile(MainWindow->PalSDial, &TMainWindow::SavePal1Click, dir.filePath("out"));
    PaletteRGB reread{};
    QCOMPARE(int(ReadPaletteFile(dir.filePath("out.PAL").toStdString(), reread)),
             int(PaletteStatus::Ok));
    QVERIFY(reread == MainWindow->Model.Palette);
    QCOMPARE(FileNameFieldText(MainWindow->PalSDial), std::string());
    QVERIFY(!SaveEnabled());

    QString message;
    AnswerMessage(&message);
    ChooseFile(MainWindow->PalSDial, &TMainWindow::SavePal1Click, dir.filePath("nowhere/x.PAL"));
    QCOMPARE(message, QString("File not found!"));
    QVERIFY(!QFile::exists(dir.filePath("nowhere/x.PAL")));
  }

  void cancellingAFileDialogChangesNothing() {
    QTemporaryDir dir;
    OpenSmallModel(dir);
    const PaletteRGB before = MainWindow->Model.Palette;
    const QString good = WriteText(dir, "good.pal", JascText(256, 256));
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    ChooseFile(MainWindow->PalDial, &TMainWindow::LoadPal1Click, good, false);
    QVERIFY(MainWindow->Model.Palette == before);
    QCOMPARE(FileNameFieldText(MainWindow->PalDial), std::string());

    ChooseFile(MainWindow->PalSDial, &TMainWindow::SavePal1Click, dir.filePath("typed.pal"), false);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
    QCOMPARE(FileNameFieldText(MainWindow->PalSDial), std::string());
    QVERIFY(!SaveEnabled());
  }
};

KOBALTINE_TEST_MAIN(PaletteCommandsTest)
#include "PaletteCommandsTest.moc"
