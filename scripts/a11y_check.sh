#!/usr/bin/env bash
# Checks what assistive technology sees of the editor: starts it on a sample model under a
# virtual X server with a private D-Bus session and the accessibility bus, walks the tree
# with Debian's pyatspi (scripts/a11y_check.py) and fails when a visible control has no
# name or a state disagrees with the window. Prints the main window's tree; the listing of
# every window goes to <build>/a11y/tree.txt.
# Usage: scripts/a11y_check.sh [build-dir]   (default: build; built when the editor is missing)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$root" && realpath -m "${1:-build}")"
"$root/scripts/deps.sh" xvfb xauth dbus dbus-x11 at-spi2-core python3-pyatspi gir1.2-atspi-2.0 openbox \
  x11-utils
if [ ! -x "$build/kobaltine" ] || [ ! -f "$build/samples/tank.vxl" ]; then
  "$root/scripts/build.sh" "$build"
fi
out="$build/a11y"
mkdir -p "$out"

inner="$(mktemp)"
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
root="$1"; build="$2"; out="$3"
# A window manager gives the main window the focus, which opens the command-line model.
openbox >"$out/openbox.log" 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.2
done
# Debian's interpreter: pyatspi is a Debian package, not on another python's path.
timeout 240 /usr/bin/python3 "$root/scripts/a11y_check.py" --editor "$build/kobaltine" \
  --model "$build/samples/tank.vxl" --out "$out/tree.txt"
INNER
# dbus-run-session: a private session bus; the accessibility bus and its registry are
# started on demand by it. Its complaints about the file limit are harmless noise.
timeout 300 xvfb-run -a -s "-screen 0 1280x900x24" \
  dbus-run-session -- bash "$inner" "$root" "$build" "$out" 2> >(grep -v "Failed to set fd limit" >&2)
