#!/usr/bin/env bash
# Runs cppcheck over the project's own sources.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" cppcheck
cd "$root"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ \
  --enable=warning,performance,portability --inline-suppr \
  --suppress=missingIncludeSystem --suppress=unknownMacro \
  -I . model palette editor view3d dialogs app resources tools
echo "cppcheck: clean"
