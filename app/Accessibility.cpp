#include "app/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <utility>

#include "widgets/TToolWindow.h"
#include "editor/TColorBox.h"
#include "editor/ToolSlotWidgets.h"

namespace {

// "Save &As..." reads "Save As..."; "&&" stays one ampersand.
QString WithoutMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// A menu the user cannot open makes every item in it unusable: the main window disables
// whole menus through their menu action and keeps the items' own states (their shortcuts
// are held dead by its command guard). The toolkit's own item interface reads only the
// item, so an item of a disabled menu would be announced as usable.
bool InDisabledMenu(const QWidget* owner) {
  for (const QObject* o = owner; o != nullptr; o = o->parent()) {
    const auto* menu = qobject_cast<const QMenu*>(o);
    if (menu == nullptr) break;
    if (!menu->isEnabled() || !menu->menuAction()->isEnabled()) return true;
  }
  return false;
}

// The menu or menu bar that shows an action.
QWidget* MenuOwner(QAction* action) {
  for (QObject* o : action->associatedObjects())
    if (qobject_cast<QMenu*>(o) != nullptr || qobject_cast<QMenuBar*>(o) != nullptr)
      return static_cast<QWidget*>(o);
  return nullptr;
}

// A menu item, as the toolkit presents one, but disabled while its menu is. The menu is
// looked up at each call: a context menu may be made anew for actions that live on.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit MenuItemAccessible(QAction* action) : action_(action) {}

  bool isValid() const override { return Owner() != nullptr; }
  QObject* object() const override { return action_; }
  QWindow* window() const override {
    for (QWidget* w = Owner(); w != nullptr; w = w->parentWidget())
      if (w->windowHandle() != nullptr) return w->windowHandle();
    return nullptr;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QAccessibleInterface* parent() const override {
    QWidget* owner = Owner();
    return owner != nullptr ? QAccessible::queryAccessibleInterface(owner) : nullptr;
  }
  int childCount() const override { return SubMenu() != nullptr ? 1 : 0; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && SubMenu() != nullptr ? QAccessible::queryAccessibleInterface(SubMenu())
                                              : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && SubMenu() != nullptr && child->object() == SubMenu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    QAccessibleInterface* menu = child(0);
    return menu != nullptr && menu->rect().contains(x, y) ? menu : nullptr;
  }

  QString text(QAccessible::Text t) const override {
    if (action_.isNull()) return QString();
    if (t == QAccessible::Name) return WithoutMnemonic(action_->text());
    if (t == QAccessible::Accelerator)
      return action_->shortcut().toString(QKeySequence::NativeText);
    return QString();
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    QWidget* owner = Owner();
    if (auto* bar = qobject_cast<QMenuBar*>(owner))
      return bar->actionGeometry(action_).translated(bar->mapToGlobal(QPoint(0, 0)));
    if (auto* menu = qobject_cast<QMenu*>(owner))
      return menu->actionGeometry(action_).translated(menu->mapToGlobal(QPoint(0, 0)));
    return QRect();
  }

  QAccessible::Role role() const override {
    return !action_.isNull() && action_->isSeparator() ? QAccessible::Separator
                                                       : QAccessible::MenuItem;
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    QWidget* owner = Owner();
    if (owner == nullptr) {
      s.invisible = true;
      s.disabled = true;
      return s;
    }
    s.invisible = !owner->isVisible() || !action_->isVisible();
    if (auto* menu = qobject_cast<QMenu*>(owner)) s.focused = menu->activeAction() == action_;
    if (auto* bar = qobject_cast<QMenuBar*>(owner)) s.focused = bar->activeAction() == action_;
    s.disabled = !Usable();
    s.checkable = action_->isCheckable();
    s.checked = action_->isChecked();
    return s;
  }

  QStringList actionNames() const override {
    if (action_.isNull() || action_->isSeparator()) return {};
    return {SubMenu() != nullptr ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (!Usable()) return;
    if (name == pressAction()) {
      // Queued: a command may open a modal dialog, and the caller on the accessibility
      // bus must get its answer first rather than wait for the dialog to close.
      QMetaObject::invokeMethod(action_.data(), &QAction::trigger, Qt::QueuedConnection);
    } else if (name == showMenuAction() && SubMenu() != nullptr) {
      if (SubMenu()->isVisible())
        SubMenu()->hide();
      else if (auto* bar = qobject_cast<QMenuBar*>(Owner()))
        bar->setActiveAction(action_);
      else if (auto* menu = qobject_cast<QMenu*>(Owner()))
        menu->setActiveAction(action_);
    }
  }
  QStringList keyBindingsForAction(const QString&) const override {
    if (action_.isNull() || action_->shortcut().isEmpty()) return {};
    return {action_->shortcut().toString(QKeySequence::NativeText)};
  }

 private:
  QWidget* Owner() const { return action_.isNull() ? nullptr : MenuOwner(action_); }
  QMenu* SubMenu() const { return action_.isNull() ? nullptr : action_->menu(); }
  bool Usable() const {
    QWidget* owner = Owner();
    return owner != nullptr && !action_->isSeparator() && action_->isEnabled() &&
           !InDisabledMenu(owner);
  }

  QPointer<QAction> action_;
};

// A label that names a value: its accessible name is the caption ("X Offset"), its text
// is the value ("0.5"). The toolkit's own label interface would hide the text as soon as
// the label has a name of its own.
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit ValueLabelAccessible(QLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Text();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  // Text interface: the whole value, read-only, no caret and no selection.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override { return Text().mid(start, end - start); }
  int characterCount() const override { return int(Text().size()); }
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return QString();
  }

 private:
  QString Text() const { return static_cast<QLabel*>(widget())->text(); }
};

// A custom-painted widget that works like a push button.
class PressableAccessible : public QAccessibleWidget {
 public:
  PressableAccessible(QWidget* widget, std::function<void()> press,
                      std::function<bool()> checked = {}, std::function<bool()> pressed = {})
      : QAccessibleWidget(widget, QAccessible::Button),
        press_(std::move(press)),
        checked_(std::move(checked)),
        pressed_(std::move(pressed)) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (checked_) {
      s.checkable = true;
      s.checked = checked_();
    }
    if (pressed_) s.pressed = pressed_();
    return s;
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == pressAction()) {
      if (widget()->isEnabled() && widget()->isVisible()) press_();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  std::function<void()> press_;
  std::function<bool()> checked_;
  std::function<bool()> pressed_;
};

// An on/off tool-bar button. The toolkit's own Toggle action flips the button without
// a click, so the command behind it never runs and its menu item falls out of step; here
// Toggle and Press both click, as the mouse does.
class ToggleButtonAccessible : public QAccessibleWidget {
 public:
  explicit ToggleButtonAccessible(QToolButton* button)
      : QAccessibleWidget(button, QAccessible::CheckBox) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Button()->isChecked();
    s.pressed = Button()->isDown();
    return s;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (Button()->isEnabled()) names << toggleAction() << pressAction();
    return names + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == toggleAction() || name == pressAction()) {
      if (Button()->isEnabled() && Button()->isVisible()) Button()->click();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  QToolButton* Button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* ForWidget(const QString& className, QWidget* w) {
  // A tool window is a window to assistive technology, not an anonymous filler.
  if (w->isWindow() && qobject_cast<TToolWindow*>(w) != nullptr)
    return new QAccessibleWidget(w, QAccessible::Window);
  if (className == "TColorBox") {
    // Queued: the box opens the modal palette dialog.
    QPointer<QWidget> box = w;
    return new PressableAccessible(w, [box] {
      if (!box.isNull()) QMetaObject::invokeMethod(box, "Pressed", Qt::QueuedConnection);
    });
  }
  if (className == "TToolImage") {
    auto* image = static_cast<TToolImage*>(w);
    return new PressableAccessible(
        w, [image] { image->Press(); }, [image] { return image->IsSelected(); },
        [image] { return image->IsPressed(); });
  }
  // Decided when the interface is made: a toggle must be made checkable before anything
  // asks for its interface (its accessible name, for one).
  if (className == "QToolButton" && static_cast<QToolButton*>(w)->isCheckable())
    return new ToggleButtonAccessible(static_cast<QToolButton*>(w));
  if (className == "TImageBox" || className == "TViewPaintBox" || className == "TPaletteGrid")
    return new QAccessibleWidget(w, QAccessible::Canvas);
  if (className == "TSelectFrame") return new QAccessibleWidget(w, QAccessible::Graphic);
  if (className == "QLabel") {
    auto* label = static_cast<QLabel*>(w);
    if (!label->accessibleName().isEmpty() && label->pixmap().isNull())
      return new ValueLabelAccessible(label);
    return nullptr;
  }
  if (className == "QFrame") {
    auto* frame = static_cast<QFrame*>(w);
    // Etched lines are separators, not windows ("frame" is a window's role on the bus).
    if (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine)
      return new QAccessibleWidget(w, QAccessible::Separator);
    const bool holdsControls = !frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
    return new QAccessibleWidget(w, holdsControls ? QAccessible::Pane : QAccessible::Graphic);
  }
  return nullptr;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (object == nullptr) return nullptr;
  if (object->isWidgetType()) return ForWidget(className, static_cast<QWidget*>(object));
  if (className == "QAction") {
    auto* action = static_cast<QAction*>(object);
    if (MenuOwner(action) != nullptr) return new MenuItemAccessible(action);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Factory);
}
