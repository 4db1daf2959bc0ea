#!/usr/bin/env bash
# Builds the Debian package: a Release build into build-release, then CPack.
# Prints the path of kobaltine_<version>_<arch>.deb.
# Usage: scripts/package.sh [build-dir]   (default: build-release)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$root" && realpath -m "${1:-build-release}")"
# dpkg-shlibdeps (dpkg-dev) works out the dependencies; help2man writes the manual pages.
# Standard output carries only the package's path (callers capture it), so what the
# installer says goes to standard error.
"$root/scripts/deps.sh" dpkg-dev file help2man >&2
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DKOBALTINE_TESTS=OFF >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls -t "$build"/kobaltine_*.deb | head -n 1
