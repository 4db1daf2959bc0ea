#!/usr/bin/env bash
# Counts the non-blank, non-comment lines of C++ in tests/ against the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files -- "$@" | grep -E '\.(cpp|cc|h|hpp)$' | xargs -r cat | grep -c -v -E '^\s*($|//)'; }
tests=$(count tests)
all=$(count .)
code=$((all - tests))
echo "tests: $tests lines; code: $code lines; tests are $((100 * tests / code))% of the code ($((100 * tests / all))% of all C++)"
