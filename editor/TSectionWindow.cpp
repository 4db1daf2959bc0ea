#include "editor/TSectionWindow.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "document/Document.h"
#include "model/SectionSteps.h"

namespace {
// The list is wide enough for the longest row, "511: " and a name of 15 letters with
// the three sizes at 255, so that no row is cut.
constexpr int kClientWidth = 368;
constexpr int kClientHeight = 178;
constexpr int kButtonLeft = 282;

QPushButton* SideButton(QWidget* parent, const char* name, const QString& caption, int top) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setGeometry(kButtonLeft, top, 78, 23);
  b->setAutoDefault(false);
  return b;
}
}  // namespace

TSectionWindow::TSectionWindow(Document& document, QWidget* owner)
    : TToolWindow(owner, "Sections", kClientWidth, kClientHeight, 640, 102), doc_(document) {
  setObjectName("SectionWindow");
  SectionList = new QListWidget(this);
  SectionList->setObjectName("SectionList");
  SectionList->setGeometry(8, 8, kButtonLeft - 16, kClientHeight - 16);
  SectionList->setAccessibleName("Sections");

  AddButton = SideButton(this, "AddButton", "&Add...", 8);
  DuplicateButton = SideButton(this, "DuplicateButton", "&Duplicate", 37);
  RemoveButton = SideButton(this, "RemoveButton", "&Remove", 66);
  UpButton = SideButton(this, "UpButton", "Move &Up", 95);
  DownButton = SideButton(this, "DownButton", "Move Do&wn", 124);

  connect(SectionList, &QListWidget::currentRowChanged, this, &TSectionWindow::SectionListChange);
  connect(AddButton, &QPushButton::clicked, this, [this] {
    if (doc_.IsOpen()) emit addRequested();
  });
  connect(DuplicateButton, &QPushButton::clicked, this, &TSectionWindow::DuplicateClick);
  connect(RemoveButton, &QPushButton::clicked, this, &TSectionWindow::RemoveClick);
  connect(UpButton, &QPushButton::clicked, this, &TSectionWindow::MoveUpClick);
  connect(DownButton, &QPushButton::clicked, this, &TSectionWindow::MoveDownClick);

  connect(&doc_, &Document::replaced, this, &TSectionWindow::ShowSections);
  connect(&doc_, &Document::editedSectionChanged, this, &TSectionWindow::ShowSections);
  connect(&doc_, &Document::changed, this, [this](const ChangeSet& changes) {
    // The list names every section and gives its size.
    if (changes.Has(ChangedSections) || changes.Has(ChangedName)) ShowSections();
  });
}

void TSectionWindow::ShowSections() {
  const TVoxelModel& model = doc_.Model();
  const QSignalBlocker quiet(SectionList);
  const int count = model.IsOpen() ? int(model.SectionCount()) : 0;
  SectionList->clear();
  for (int i = 0; i < count; ++i) {
    const SectionValues s = model.Values(std::size_t(i));
    SectionList->addItem(QString("%1: %2 (%3 x %4 x %5)")
                             .arg(i)
                             .arg(QString::fromLatin1(NameText(s.Name).c_str()))
                             .arg(s.SizeX)
                             .arg(s.SizeY)
                             .arg(s.SizeZ));
  }
  const int edited = int(model.EditedSection());
  if (count > 0) SectionList->setCurrentRow(edited);
  AddButton->setEnabled(count > 0 && count < int(MaxSections));
  DuplicateButton->setEnabled(count > 0 && count < int(MaxSections));
  RemoveButton->setEnabled(count > 1);
  UpButton->setEnabled(count > 0 && edited > 0);
  DownButton->setEnabled(count > 0 && edited + 1 < count);
}

void TSectionWindow::SectionListChange(int row) {
  if (row >= 0) doc_.ChooseSection(row);
}

// Each change of the list is one step. A drag belongs to the section it began in.
void TSectionWindow::DuplicateClick() {
  if (!doc_.IsOpen()) return;
  doc_.AbandonDrag(true);
  doc_.Edit([](TVoxelModel& m) { return DuplicateSection(m, "Duplicate Section"); });
}

void TSectionWindow::RemoveClick() {
  if (!doc_.IsOpen()) return;
  doc_.AbandonDrag(true);
  doc_.Edit([](TVoxelModel& m) { return RemoveSection(m, m.EditedSection(), "Remove Section"); });
}

void TSectionWindow::MoveUpClick() {
  if (!doc_.IsOpen()) return;
  doc_.Edit([](TVoxelModel& m) { return MoveSectionUp(m, m.EditedSection(), "Move Section Up"); });
}

void TSectionWindow::MoveDownClick() {
  if (!doc_.IsOpen()) return;
  doc_.Edit(
      [](TVoxelModel& m) { return MoveSectionDown(m, m.EditedSection(), "Move Section Down"); });
}
