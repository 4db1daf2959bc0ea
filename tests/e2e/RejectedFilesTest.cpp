// Every file the reader turns away, chosen through File > Open while an edited model
// is open: each shows its one message, and nothing of the open document changes.

#include <QFileInfo>
#include <QtEndian>

#include "e2e/E2eSupport.h"
#include "editor/TLayerWindow.h"

using namespace e2e;
using kobaltine_test::Disarm;
using kobaltine_test::StartForms;

namespace {

// Everything of the open document a user can see or save.
struct Snapshot {
  ModelPtr Model;
  QString Caption, WordBox, LayerText, FilePath;
  bool Save1 = false, SaveButton = false, Modified = false, Untitled = false;
  int Layer = 0, TrackPosition = 0, TrackMaximum = 0;
  std::vector<std::uint32_t> Slice;

  static Snapshot Take() {
    Snapshot s;
    s.Model = CloneModel(EditorModel());
    s.Caption = Main()->windowTitle();
    s.WordBox = WordBoxText();
    s.LayerText = LayerWindow()->LayerNum->text();
    s.FilePath = QString::fromStdString(Doc().FilePath());
    s.Save1 = Action("Save1")->isEnabled();
    s.SaveButton = Button("SaveButton")->isEnabled();
    s.Modified = Doc().IsModified();
    s.Untitled = Doc().Untitled();
    s.Layer = Doc().CurrentLayer();
    s.TrackPosition = LayerWindow()->TrackBar1->value();
    s.TrackMaximum = LayerWindow()->TrackBar1->maximum();
    const PixelBuffer& b = kobaltine_test::Slice()->SliceBitmap();
    s.Slice.assign(b.Data(), b.Data() + std::size_t(b.Width()) * std::size_t(b.Height()));
    return s;
  }

  QString Differences(const Snapshot& now) const {
    QStringList out;
    if (const QString m = CompareModels(*now.Model, *Model); !m.isEmpty()) out << m;
    if (now.Caption != Caption) out << "caption " + now.Caption;
    if (now.WordBox != WordBox) out << "name " + now.WordBox;
    if (now.LayerText != LayerText || now.Layer != Layer || now.TrackPosition != TrackPosition ||
        now.TrackMaximum != TrackMaximum)
      out << QString("layer %1 (%2, track %3 of %4)")
                 .arg(now.Layer)
                 .arg(now.LayerText)
                 .arg(now.TrackPosition)
                 .arg(now.TrackMaximum);
    if (now.FilePath != FilePath) out << "path " + now.FilePath;
    if (now.Save1 != Save1 || now.SaveButton != SaveButton) out << "Save state";
    if (now.Modified != Modified || now.Untitled != Untitled) out << "document flags";
    if (now.Slice != Slice) out << "slice view";
    return out.join("; ");
  }
};

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
  return f.readAll();
}

QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

QByteArray WithInt(QByteArray bytes, int offset, std::int32_t value) {
  qToLittleEndian(value, bytes.data() + offset);
  return bytes;
}

}  // namespace

class RejectedFilesStory : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { StartModalWatchdog(); }
  void cleanup() { ExpectNoAbandonedDialogs(); }

  void rejectedFilesChangeNothing() {
    QTemporaryDir dir;
    const QString tank = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "tank.vxl");
    StartForms(CommandLineFor(tank));
    QTRY_VERIFY(EditorModel().IsOpen());

    // An edited model on a lower layer, with Save enabled.
    Shortcut(Qt::Key_F10);
    TypeLayer("4");
    ClickCell(Qt::LeftButton, 3, 3);
    QVERIFY(SaveEnabled());
    QCOMPARE(Doc().CurrentLayer(), 4);
    const Snapshot before = Snapshot::Take();

    // The rejected files, all made from the sample's own bytes.
    const QByteArray good = ReadBytes(tank);
    const int tailer = 830 + qFromLittleEndian<std::int32_t>(good.constData() + 28);
    QByteArray nonZero15 = good;
    nonZero15[15] = 'x';
    QByteArray otherSignature = good;
    otherSignature[14] = 'm';
    QByteArray flat = good;
    flat[tailer + 90] = 0;
    struct Case {
      QString name;
      QByteArray bytes;
      QString message;
    };
    std::vector<Case> cases = {
        {"gone.vxl", good, "File not found!"},
        {"byte15.vxl", nonZero15, "Incorrect Format!"},
        {"signature.vxl", otherSignature, "Incorrect Format!"},
        {"counts12.vxl", WithInt(WithInt(good, 20, 1), 24, 2), "Incorrect Format!"},
        {"counts00.vxl", WithInt(WithInt(good, 20, 0), 24, 0), "Incorrect Format!"},
        {"countsneg.vxl", WithInt(WithInt(good, 20, -1), 24, -1), "Incorrect Format!"},
        {"counts513.vxl", WithInt(WithInt(good, 20, 513), 24, 513), "Incorrect Format!"},
        {"flat.vxl", flat, "Image is too small!"},
        {"short.vxl", good.left(tailer + 40), "Image is too small!"},
    };
    const QString limbs = KOBALTINE_FIXTURES "/hmec.vxl";
    if (QFile::exists(limbs))  // claims a 14th section, whose tailer the file lacks
      cases.push_back(
          {"hmec.vxl", WithInt(WithInt(ReadBytes(limbs), 20, 14), 24, 14), "Image is too small!"});
    else
      qInfo("%s is absent: the many-section fixture is not tried", qPrintable(limbs));

    int way = 0;
    for (const Case& c : cases) {
      const QString path = WriteBytes(dir, c.name, c.bytes);
      // "File not found!": the file goes away after it was chosen, before it is read.
      std::function<void()> afterAccept;
      if (c.message == "File not found!") afterAccept = [path] { QFile::remove(path); };
      QString message, question;
      // The edited model is not thrown away without asking; Discard lets Open go on.
      const auto asked = kobaltine_test::AnswerSaveQuestion(2, &question);
      const auto chosen = ChooseFile(FileDialog("FileDial"), path, afterAccept);
      const auto answered = AnswerMessage(&message);
      switch (way++ % 3) {  // the three ways to File > Open
        case 0:
          Shortcut(Qt::Key_O, Qt::ControlModifier);
          break;
        case 1:
          QTest::mouseClick(Button("OpenButton"), Qt::LeftButton);
          break;
        default:
          Trigger("Open1");
          break;
      }
      Disarm(asked);
      Disarm(chosen);
      Disarm(answered);
      QCOMPARE(question, QString("Save changes to tank.vxl?"));
      QVERIFY2(message == c.message, qPrintable(c.name + ": " + message));
      const QString changed = before.Differences(Snapshot::Take());
      QVERIFY2(changed.isEmpty(), qPrintable(c.name + " changed " + changed));
    }

    // The Open command still works afterwards, and its dialog starts with an empty name.
    const QString again = CopyInto(dir, KOBALTINE_SAMPLES "/tank.vxl", "again.vxl");
    QString fieldWhenShown;
    const auto chosen = WhenDialog(FileDialog("FileDial"), [&](QWidget* d) {
      fieldWhenShown = d->findChild<QLineEdit*>("fileNameEdit")->text();
      TypeFileName(d, again);
    });
    const auto asked = kobaltine_test::AnswerSaveQuestion(2);
    Trigger("Open1");
    Disarm(asked);
    Disarm(chosen);
    QCOMPARE(fieldWhenShown, QString());
    QCOMPARE(Main()->windowTitle(), QString("again.vxl - Kobaltine"));
    QVERIFY(SaveDisabled());
    QCOMPARE(Doc().CurrentLayer(), EditorModel().SizeZ - 1);
  }
};

KOBALTINE_TEST_MAIN(RejectedFilesStory)
#include "RejectedFilesTest.moc"
