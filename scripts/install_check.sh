#!/usr/bin/env bash
# Stages an install (DESTDIR) of a built tree and checks what a desktop gets from it: the
# two programs, the desktop entry, the MIME type, the icon and the manual pages, each
# validated. Then builds the Debian package (scripts/package.sh), unpacks it into a
# throw-away root and checks that its programs run and that the MIME type maps
# tank.vxl and TANK.VXL to the editor.
# Usage: scripts/install_check.sh [build-dir]   (default: build; built first when needed)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
config="${KOBALTINE_CONFIG:-RelWithDebInfo}"
"$root/scripts/deps.sh" desktop-file-utils libxml2-utils shared-mime-info xdg-utils \
  libfile-mimeinfo-perl man-db

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --config "$config" --target kobaltine vxltool kobaltine_man_pages \
  kobaltine_sample_models

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

for page in kobaltine vxltool; do
  man="$usr/share/man/man1/$page.1.gz"
  [ -s "$man" ] || fail "the manual page of $page is missing"
  # man warns about lines it cannot break; only a page that does not format matters.
  MANWIDTH=80 man -l "$man" 2>/dev/null | grep -q "^NAME" || fail "the manual page of $page does not format"
done
echo "install check: programs, desktop entry, MIME type, icon and manual pages staged under /usr"

# The Debian package, unpacked into a throw-away root.
deb="$("$root/scripts/package.sh")"
[ -f "$deb" ] || fail "no package was built"
case "$(basename "$deb")" in kobaltine_*_*.deb) ;; *) fail "unexpected package name $deb" ;; esac
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libstdc++6 libc6; do
  grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib (Depends: $depends)"
done
pkgroot="$stage/package"
dpkg -x "$deb" "$pkgroot"
pusr="$pkgroot/usr"
for f in bin/kobaltine bin/vxltool share/applications/kobaltine.desktop \
         share/mime/packages/kobaltine-vxl.xml share/icons/hicolor/scalable/apps/kobaltine.svg \
         share/man/man1/kobaltine.1.gz share/man/man1/vxltool.1.gz \
         share/bash-completion/completions/vxltool share/thumbnailers/kobaltine.thumbnailer; do
  [ -e "$pusr/$f" ] || fail "the package lacks /usr/$f"
done
"$pusr/bin/kobaltine" --version | grep -qx 'kobaltine [0-9.]*' || fail "the packaged kobaltine does not run"
"$pusr/bin/vxltool" --version | grep -qx 'vxltool [0-9.]*' || fail "the packaged vxltool does not run"
# The completion answers from the packaged tool's own help.
completion="$pusr/share/bash-completion/completions/vxltool"
"$root/scripts/completion_check.sh" "$pusr/bin" "$completion" || fail "the completion offers the wrong words"

# The thumbnailer entry: a key file of one group whose Exec runs the packaged tool with
# the size, the input and the output, for our MIME type; run it as a file manager would.
# desktop-file-validate does not take .thumbnailer files, hence the structure check here.
entry="$pusr/share/thumbnailers/kobaltine.thumbnailer"
[ "$(head -n 1 "$entry")" = "[Thumbnailer Entry]" ] || fail "the thumbnailer entry has no [Thumbnailer Entry] group"
grep -vqE '^(\[Thumbnailer Entry\]|[A-Za-z]+=.*|)$' "$entry" && fail "the thumbnailer entry has a line that is no key"
grep -qx 'MimeType=application/x-voxel-animation;' "$entry" || fail "the thumbnailer entry names no MIME type"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
case "$exec_line" in *%i*%o*|*%o*%i*) ;; *) fail "the thumbnailer's Exec lacks %i or %o: $exec_line" ;; esac
# Runs the Exec line at size 128 on $1, writing $2.
run_thumbnailer() {
  local command_line="${exec_line//%s/128}"
  command_line="${command_line//%i/$1}"
  command_line="${command_line//%o/$2}"
  PATH="$pusr/bin:$PATH" bash -c "$command_line"
}
thumb="$stage/thumb.png"
run_thumbnailer "$build/samples/tank.vxl" "$thumb" || fail "the thumbnailer's Exec failed on tank.vxl"
# file says e.g. "PNG image data, 128 x 80, 8-bit/color RGBA, non-interlaced".
described="$(file -b "$thumb")"
[[ "$described" =~ ^PNG\ image\ data,\ ([0-9]+)\ x\ ([0-9]+),.*RGBA ]] ||
  fail "the thumbnailer wrote no PNG with alpha: $described"
width="${BASH_REMATCH[1]}" height="${BASH_REMATCH[2]}"
[ "$width" -le 128 ] && [ "$height" -le 128 ] ||
  fail "a 128 thumbnail is $width x $height"
broken="$stage/broken.vxl"
echo "no model" >"$broken"
if run_thumbnailer "$broken" "$stage/none.png" 2>/dev/null; then
  fail "a broken file got a thumbnail"
fi
[ ! -e "$stage/none.png" ] || fail "a broken file left a picture behind"
echo "install check: the thumbnailer entry runs the packaged vxltool and refuses a broken file"

# What a desktop makes of it: the MIME type by name in either case, and the editor as
# the program that opens it.
update-mime-database "$pusr/share/mime" >/dev/null 2>&1 || fail "update-mime-database on the package"
update-desktop-database "$pusr/share/applications" || fail "update-desktop-database on the package"
files="$stage/files"
mkdir -p "$files"
# Text that is no model: only the name can tell, in either case.
echo "not a model" >"$files/tank.vxl"
cp "$files/tank.vxl" "$files/TANK.VXL"
export XDG_DATA_DIRS="$pusr/share:/usr/share" XDG_DATA_HOME="$stage/home-data" XDG_CONFIG_HOME="$stage/home-config"
export XDG_CURRENT_DESKTOP="" DE=""
for f in tank.vxl TANK.VXL; do
  type="$(xdg-mime query filetype "$files/$f")"
  [ "$type" = "application/x-voxel-animation" ] || fail "xdg-mime takes $f for '$type'"
done
app="$(xdg-mime query default application/x-voxel-animation)"
[ "$app" = "kobaltine.desktop" ] || fail "xdg-mime opens voxel models with '$app'"
echo "install check: $(basename "$deb") unpacks, runs, and maps tank.vxl and TANK.VXL to kobaltine.desktop"
echo "install check passed"
