#include "editor/TSectionWindow.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/Forms.h"
#include "app/TMainWindow.h"

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

TSectionWindow::TSectionWindow(QWidget* owner)
    : TToolWindow(owner, "Sections", kClientWidth, kClientHeight, 640, 102) {
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
  connect(AddButton, &QPushButton::clicked, this, [] { MainWindow->AddSectionClick(); });
  connect(DuplicateButton, &QPushButton::clicked, this,
          [] { MainWindow->DuplicateSectionClick(); });
  connect(RemoveButton, &QPushButton::clicked, this, [] { MainWindow->RemoveSectionClick(); });
  connect(UpButton, &QPushButton::clicked, this, [] { MainWindow->MoveSectionUpClick(); });
  connect(DownButton, &QPushButton::clicked, this, [] { MainWindow->MoveSectionDownClick(); });
}

void TSectionWindow::FormClose() {
  MainWindow->ToolWindowClosed(MainWindow->Sections1, MainWindow->SectionsButton);
}

void TSectionWindow::ShowSections() {
  const TVoxelModel& model = MainWindow->Model;
  const QSignalBlocker quiet(SectionList);
  const int count = model.IsOpen() ? int(model.SectionCount()) : 0;
  SectionList->clear();
  for (int i = 0; i < count; ++i) {
    const SectionView s = model.Section(std::size_t(i));
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
  if (row >= 0) MainWindow->ChooseSection(row);
}
