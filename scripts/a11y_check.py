#!/usr/bin/python3
"""Walks the editor's accessibility tree on the AT-SPI bus, as a screen reader would.

Started by scripts/a11y_check.sh inside a virtual X server with a private D-Bus session.
Launches the editor on a model, then:
  - reads the caption, finds "Save" disabled, opens "Statistics View" through the View
    menu item's accessible action and reads the statistics window's "X: ..." label;
  - fails when a visible control has neither name nor description, or when states that
    the window shows twice disagree (menu item against tool button, tool picture against
    selection frame), or when an item of a disabled menu claims to be usable;
  - prints the main window's tree (role, name, states) and writes every window's tree to
    a file.
Every wait is bounded and the editor is always ended. Exit status 0 only when all passed.
"""

import argparse
import os
import signal
import subprocess
import sys
import time

import pyatspi  # Debian's python3-pyatspi

CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "menu item", "check menu item",
    "radio menu item", "menu", "label", "text", "entry", "password text", "image", "icon", "canvas",
    "slider", "scroll bar", "spin button", "combo box", "page tab", "list item", "table cell",
    "progress bar", "link", "tree item",
}
# Commands that a menu item and a tool-bar button carry alike: (menu, item, button).
TOGGLE_PAIRS = [
    ("View", "Transformation Matrix", "Transformation Matrix"),
    ("View", "Layer Palette", "Layer Palette"),
    ("View", "Statistics View", "Statistics View"),
    ("View", "3D View", "3D View"),
    ("View", "Sections", "Sections"),
    ("View", "Colours", "Colours"),
    ("View", "Surface Normals", "Surface Normals"),
    ("View", "Hide Underlay", "Hide Underlay"),
]

# The tool-bar toggles: (button, menu item it mirrors, tool window caption, radio partner).
# Each is operated twice through its "Toggle" action; for the tool windows, which are
# open when this runs, the first operation closes the window. A radio button that is
# down stays down, and its partner's menu item must be unchecked.
TOOLBAR_TOGGLES = [
    ("Hide Underlay", "Hide Underlay", None, None),
    ("Surface Normals", "Surface Normals", None, "Colours"),
    ("Colours", "Colours", None, "Surface Normals"),
    ("Transformation Matrix", "Transformation Matrix", "Transformation Matrix", None),
    ("Layer Palette", "Layer Palette", "Layers", None),
    ("Statistics View", "Statistics View", "Statistics", None),
    ("3D View", "3D View", "3D View", None),
    ("Sections", "Sections", "Sections", None),
]

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, flush=True)


def wait_for(what, probe, timeout):
    """Polls probe() until it returns something truthy, for at most timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except Exception:  # a node may vanish while it is read
            found = None
        if found:
            return found
        if time.monotonic() > end:
            raise TimeoutError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(0.2)


def children(node):
    out = []
    try:
        count = node.childCount
    except Exception:
        return out
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            child = None
        if child is not None:
            out.append(child)
    return out


def states(node):
    try:
        return set(node.getState().getStates())
    except Exception:
        return set()


def role(node):
    try:
        return node.getRoleName()
    except Exception:
        return "?"


def name(node):
    try:
        return node.name or ""
    except Exception:
        return ""


def description(node):
    try:
        return node.description or ""
    except Exception:
        return ""


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except Exception:
        return None


def enabled(node):
    s = states(node)
    return pyatspi.STATE_ENABLED in s and pyatspi.STATE_SENSITIVE in s


def checked(node):
    return pyatspi.STATE_CHECKED in states(node)


def visible(node):
    s = states(node)
    return pyatspi.STATE_VISIBLE in s and pyatspi.STATE_SHOWING in s


def walk(node, depth=0):
    yield node, depth
    for child in children(node):
        yield from walk(child, depth + 1)


def find(root, wanted_role, wanted_name):
    for node, _ in walk(root):
        if role(node) == wanted_role and name(node) == wanted_name:
            return node
    return None


def listing(root):
    lines = []
    for node, depth in walk(root):
        state_names = sorted(pyatspi.stateToString(s) for s in states(node))
        line = '%s%s "%s" [%s]' % ("  " * depth, role(node), name(node), " ".join(state_names))
        if description(node) and description(node) != name(node):
            line += ' desc="%s"' % description(node)
        text = text_of(node) if role(node) == "label" else None
        if text and text != name(node):
            line += ' text="%s"' % text
        lines.append(line)
    return lines


def menu_items(frame, menu_title):
    """The items of a main-menu menu, whether or not it is open."""
    bar = next((n for n, _ in walk(frame) if role(n) == "menu bar"), None)
    if bar is None:
        return None, []
    title = next((c for c in children(bar) if name(c) == menu_title), None)
    if title is None:
        return None, []
    items = []
    for popup in children(title):
        items.extend(children(popup))
    return title, items


def press(node, label):
    """Runs a node's press (or click) action, as a screen reader does."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        fail("%s has no actions" % label)
        return False
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click"):
            action.doAction(i)
            return True
    fail("%s has no press action (has: %s)" % (label, [action.getName(i) for i in range(action.nActions)]))
    return False


def do_action(node, label, wanted):
    """Runs the node's action called wanted ("toggle"), as assistive technology does."""
    try:
        action = node.queryAction()
    except NotImplementedError:
        fail("%s has no actions" % label)
        return False
    names = [action.getName(i) for i in range(action.nActions)]
    for i, action_name in enumerate(names):
        if action_name.lower() == wanted:
            action.doAction(i)
            return True
    fail("%s has no %s action (has: %s)" % (label, wanted, names))
    return False


def check_toggles(app, frame):
    """Each toggle's accessible action must run the button's handler, like a click."""
    _, view_items = menu_items(frame, "View")
    item_of = {name(i): i for i in view_items}

    def window_shown(caption):
        return any(name(f) == caption and visible(f) for f in top_frames(app))

    for button_name, item_name, caption, partner in TOOLBAR_TOGGLES:
        button = find(frame, "check box", button_name) or find(frame, "toggle button", button_name)
        item = item_of.get(item_name)
        if button is None or item is None or (partner and partner not in item_of):
            fail("toggle %s: button or menu item not found" % button_name)
            continue
        for _ in range(2):
            want = True if partner else not checked(button)
            if not do_action(button, '"%s" button' % button_name, "toggle"):
                break

            def seen():
                return (checked(button), checked(item),
                        None if caption is None else window_shown(caption),
                        None if partner is None else not checked(item_of[partner]))

            try:
                wait_for("the %s toggle" % button_name, lambda: all(v in (None, want) for v in seen()), 5)
            except TimeoutError:
                fail('"%s" operated through its Toggle action: (button down, item checked, window shown, '
                     "partner unchecked) = %s, wanted all %s" % (button_name, seen(), want))
                break
        else:
            print('toggle "%s": its action ran the handler' % button_name)


def check_undo_redo(app, frame):
    """Undo and Redo, item and button alike, are reported usable exactly when they are."""
    _, edit_items = menu_items(frame, "Edit")
    _, file_items = menu_items(frame, "File")
    undo_item = next((i for i in edit_items if name(i) == "Undo"), None)
    redo_item = next((i for i in edit_items if name(i) == "Redo"), None)
    undo_button = find(frame, "push button", "Undo")
    redo_button = find(frame, "push button", "Redo")
    properties = next((i for i in file_items if name(i) == "Properties..."), None)
    if None in (undo_item, redo_item, undo_button, redo_button, properties):
        fail("Undo or Redo (item or button) or Properties... not found")
        return

    def reported():
        return (enabled(undo_item), enabled(undo_button), enabled(redo_item), enabled(redo_button))

    def expect(what, wanted):
        try:
            wait_for(what, lambda: reported() == wanted, 5)
            print("undo/redo %s: (undo item, undo button, redo item, redo button) enabled = %s"
                  % (what, wanted))
        except TimeoutError:
            fail("%s: (undo item, undo button, redo item, redo button) enabled = %s, wanted %s"
                 % (what, reported(), wanted))

    expect("after opening", (False, False, False, False))
    # One step, made as a screen reader user makes it: a new name in Properties, then OK.
    press(properties, '"Properties..."')
    try:
        dialog = wait_for("the Properties dialog",
                          lambda: next((f for f in top_frames(app) if name(f) == "Properties" and visible(f)),
                                       None), 10)
    except TimeoutError as e:
        fail(str(e))
        return
    box = next((n for n, _ in walk(dialog) if role(n) == "text" and name(n).startswith("Name")), None)
    ok = find(dialog, "push button", "OK")
    if box is None or ok is None:
        fail("the Properties dialog has no name box or OK button")
        return
    box.queryEditableText().setTextContents("READER")
    press(ok, '"OK" of Properties')
    expect("after a change", (True, True, False, False))
    if description(undo_button) != "Undo Properties":
        fail('the Undo button describes itself as %r, wanted "Undo Properties"' % description(undo_button))
    press(undo_button, '"Undo" button')
    expect("after Undo", (False, False, True, True))
    press(redo_item, '"Redo" item')
    expect("after Redo", (True, True, False, False))
    press(undo_item, '"Undo" item')
    expect("after Undo again", (False, False, True, True))


def check_names(root, where):
    for node, _ in walk(root):
        if role(node) in CONTROL_ROLES and visible(node) and not name(node) and not description(node):
            fail("%s: a visible %s has neither name nor description" % (where, role(node)))


def check_states(frame):
    _, file_items = menu_items(frame, "File")
    save_item = next((i for i in file_items if name(i) == "Save"), None)
    save_button = find(frame, "push button", "Save")
    if save_item is None or save_button is None:
        fail("Save menu item or Save button not found")
    elif enabled(save_item) != enabled(save_button):
        fail("Save menu item enabled=%s but Save button enabled=%s" % (enabled(save_item), enabled(save_button)))

    for menu, item_name, button_name in TOGGLE_PAIRS:
        _, items = menu_items(frame, menu)
        item = next((i for i in items if name(i) == item_name), None)
        button = find(frame, "check box", button_name) or find(frame, "toggle button", button_name)
        if item is None or button is None:
            fail("%s item or button not found" % item_name)
        elif checked(item) != checked(button):
            fail("%s: menu item checked=%s, button checked=%s" % (item_name, checked(item), checked(button)))

    # An item of a disabled menu (or of a disabled submenu) must not claim to be usable.
    bar = next((n for n, _ in walk(frame) if role(n) == "menu bar"), None)
    for title in children(bar) if bar is not None else []:
        if enabled(title):
            continue
        for node, _ in walk(title):
            if node is not title and role(node) in ("menu item", "check menu item", "radio menu item", "menu") \
                    and enabled(node):
                fail("'%s' is enabled inside the disabled menu '%s'" % (name(node), name(title)))

    # The tool panel: the checked tool picture is the one the selection frame marks.
    panel = next((n for n, _ in walk(frame) if any(name(c) == "Selected tool" for c in children(n))), None)
    if panel is None:
        fail("tool panel not found")
        return
    selected = [name(c) for c in children(panel) if role(c) == "push button" and visible(c) and checked(c)]
    frames = [description(c) for c in children(panel) if name(c) == "Selected tool" and visible(c)]
    if len(selected) != 1 or frames != selected:
        fail("tool panel: checked tools %s, selection frame on %s" % (selected, frames))


def top_frames(app):
    return [c for c in children(app) if role(c) in ("frame", "window", "dialog")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--editor", required=True)
    parser.add_argument("--model", required=True)
    parser.add_argument("--out", required=True, help="file for the full listing")
    parser.add_argument("--timeout", type=float, default=30.0)
    args = parser.parse_args()

    caption = os.path.basename(args.model) + " - Kobaltine"
    log = open(os.path.splitext(args.out)[0] + "-editor.log", "w")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    editor = subprocess.Popen([args.editor, args.model], stdout=log, stderr=subprocess.STDOUT, env=env,
                              start_new_session=True)
    try:
        def the_app():
            if editor.poll() is not None:
                raise SystemExit("FAIL: the editor ended early (exit %s)" % editor.returncode)
            for app in children(pyatspi.Registry.getDesktop(0)):
                if name(app) == "Kobaltine" and app.get_process_id() == editor.pid:
                    return app
            return None

        app = wait_for("the editor on the accessibility bus", the_app, args.timeout)
        print("application: %s (pid %d)" % (name(app), editor.pid))

        # 1. The model was opened from the command line: the caption says so.
        frame = wait_for('a window named "%s"' % caption,
                         lambda: next((f for f in top_frames(app) if name(f) == caption), None), args.timeout)
        print('caption: "%s"' % name(frame))

        # 2. "Save" is there and disabled: nothing has been changed yet.
        _, file_items = menu_items(frame, "File")
        save_item = next((i for i in file_items if name(i) == "Save"), None)
        if save_item is None:
            fail('no "Save" item in the File menu')
        else:
            print('"Save" menu item: %s' % ("enabled" if enabled(save_item) else "disabled"))
            if enabled(save_item):
                fail('"Save" is enabled right after opening')

        # 3. "Statistics View" from the View menu, by its accessible action.
        view_title, view_items = menu_items(frame, "View")
        stats_item = next((i for i in view_items if name(i) == "Statistics View"), None)
        if view_title is None or not enabled(view_title) or stats_item is None or not enabled(stats_item):
            fail('the View menu or its "Statistics View" item is missing or disabled')
        else:
            press(stats_item, '"Statistics View"')

        # 4. The statistics window and its "X: ..." reading.
        stats = wait_for('the "Statistics" window',
                         lambda: next((f for f in top_frames(app) if name(f) == "Statistics" and visible(f)), None),
                         args.timeout)
        x_label = find(stats, "label", "X position")
        x_text = text_of(x_label) if x_label is not None else None
        print('statistics window: "%s"; "%s" reads "%s"' % (name(stats), name(x_label) if x_label else "?", x_text))
        if not x_text or not x_text.startswith("X: "):
            fail('the statistics window has no "X: ..." label (read %r)' % x_text)
        wait_for("the View menu's check mark", lambda: checked(stats_item), 5)

        check_states(frame)
        for f in top_frames(app):
            if visible(f):
                check_names(f, name(f) or role(f))
        main_listing = listing(frame)

        # The other tool windows: every control in them needs a name too.
        for item_name in ("Transformation Matrix", "Layer Palette", "3D View"):
            item = next((i for i in view_items if name(i) == item_name), None)
            if item is not None and press(item, '"%s"' % item_name):
                wait_for("the %s window" % item_name, lambda: checked(item), 10)
        time.sleep(0.5)
        check_states(frame)
        check_toggles(app, frame)
        check_states(frame)
        check_undo_redo(app, frame)
        full = []
        for f in top_frames(app):
            if visible(f):
                check_names(f, name(f) or role(f))
                full.extend(listing(f))
                full.append("")

        print("\n--- accessibility tree of the main window ---")
        print("\n".join(main_listing))
        with open(args.out, "w") as out:
            out.write("\n".join(main_listing) + "\n\n--- every visible window, tool windows open ---\n")
            out.write("\n".join(full) + "\n")
        print("--- (listing of every window written to %s) ---" % args.out)
    except TimeoutError as e:
        fail(str(e))
    finally:
        if editor.poll() is None:
            os.killpg(editor.pid, signal.SIGTERM)
            try:
                editor.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(editor.pid, signal.SIGKILL)
                editor.wait(5)
        log.close()

    if failures:
        print("\naccessibility check: %d failure(s)" % len(failures))
        return 1
    print("\naccessibility check: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
