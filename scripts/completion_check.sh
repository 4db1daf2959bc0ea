#!/usr/bin/env bash
# Checks what the bash completion of vxltool offers, asking the given tool's own help,
# in a folder of models, palettes, pictures and a subfolder.
# Usage: scripts/completion_check.sh BIN-DIR COMPLETION-FILE
set -euo pipefail
bin="$(realpath "$1")" completion="$(realpath "$2")"
files="$(mktemp -d)"
trap 'rm -rf "$files"' EXIT
cd "$files"
touch a.vxl B.VOX c.png D.PNG e.pal
mkdir sub

# The words typed (the last is the one being completed) | what is offered, in any order.
rows=(
  "re|render resave"
  "thumbnail -|-s --size --help"
  "thumbnail -s |"
  "thumbnail -s 128 |a.vxl B.VOX sub"
  "thumbnail -s 128 a.vxl |c.png D.PNG sub"
  "thumbnail --size 128 a.vxl b.png --|--size --help"
  "palette get a.vxl |e.pal sub"
  "render --out-dir |sub"
)
failed=0
for row in "${rows[@]}"; do
  typed="${row%%|*}" expected="${row#*|}"
  offered="$(PATH="$bin:$PATH" bash -c 'source "$1"; read -ra COMP_WORDS <<<"vxltool $2";
    [[ "$2" == *" " || -z "$2" ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _vxltool; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" "$typed" | sort | paste -sd " " -)"
  expected="$(printf '%s\n' $expected | sort | paste -sd " " -)"
  if [ "$offered" != "$expected" ]; then
    echo "FAIL: completing 'vxltool $typed' offers '$offered', not '$expected'"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "completion check: ${#rows[@]} cases"
exit "$failed"
