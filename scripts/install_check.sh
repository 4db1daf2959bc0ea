#!/usr/bin/env bash
# Stages an install (DESTDIR) of a built tree and checks what a desktop gets from it: the
# two programs, the desktop entry, the MIME type and the icon, each validated.
# Usage: scripts/install_check.sh [build-dir]   (default: build; built first when needed)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
config="${KOBALTINE_CONFIG:-RelWithDebInfo}"
"$root/scripts/deps.sh" desktop-file-utils libxml2-utils shared-mime-info

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --config "$config" --target kobaltine vxltool

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr --config "$config" >/dev/null
usr="$stage/usr"

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/kobaltine bin/vxltool; do
  [ -x "$usr/$f" ] || fail "$f is missing or not executable"
done
desktop="$usr/share/applications/kobaltine.desktop"
mime="$usr/share/mime/packages/kobaltine-vxl.xml"
icon="$usr/share/icons/hicolor/scalable/apps/kobaltine.svg"
for f in "$desktop" "$mime" "$icon"; do
  [ -s "$f" ] || fail "${f#"$stage"} is missing"
done

desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=kobaltine %f' "$desktop" || fail "the desktop entry does not open a file"
grep -qx 'MimeType=application/x-voxel-animation;' "$desktop" || fail "the desktop entry has no MIME type"
xmllint --noout "$mime" || fail "the MIME XML is not well-formed"
xmllint --noout "$icon" || fail "the icon is not well-formed SVG"
"$usr/bin/vxltool" --version | grep -qx 'vxltool [0-9.]*' || fail "the installed vxltool does not run"

# The MIME database built from the staged file knows the type by name in either case
# and by signature.
# (It warns that the staged folder is not on the search path; only a failure matters.)
log="$(update-mime-database "$usr/share/mime" 2>&1)" || fail "update-mime-database: $log"
grep -qx '50:application/x-voxel-animation:\*\.vxl' "$usr/share/mime/globs2" ||
  fail "no case-insensitive *.vxl glob"
grep -aq 'Voxel Animation' "$usr/share/mime/magic" || fail "no signature in the magic database"

echo "install check passed: programs, desktop entry, MIME type and icon staged under /usr"
