# bash completion for vxltool. Everything it offers comes from the tool's own help, so
# it stays true as commands and options change: the command names from 'vxltool help',
# a command's options from 'vxltool COMMAND --help', and for each word of the usage line
# the kind of file it names (OUT.png: PNG files, IN.pal: palettes, DIR: folders,
# anything else: models).

_vxltool_files() {
  # $1: the glob's extension(s), as in "vxl|vox"; case does not matter.
  local IFS=$'\n'
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -f -- "$cur" | while read -r f; do
    if [[ -d "$f" ]]; then echo "$f"; else
      shopt -s nocasematch
      [[ "$f" =~ \.($1)$ ]] && echo "$f"
      shopt -u nocasematch
    fi
  done))
}

# Whether option $1 takes a value: its line in $lines (the caller's) has a word that is
# no option name, as "SIZE" in "-s, --size SIZE".
_vxltool_takes_value() {
  local line w named value
  while IFS= read -r line; do
    named=0 value=0
    for w in ${line//,/ }; do
      if [[ "$w" == -* ]]; then [[ "$w" == "$1" ]] && named=1; else value=1; fi
    done
    ((named)) && { ((value)); return; }
  done <<<"$lines"
  return 1
}

_vxltool() {
  COMPREPLY=()
  local cur prev words cword
  _init_completion 2>/dev/null || {
    cur="${COMP_WORDS[COMP_CWORD]}"; prev="${COMP_WORDS[COMP_CWORD-1]}"
    words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD
  }
  local tool="${words[0]}"
  if [[ $cword -eq 1 ]]; then
    local commands
    commands="$("$tool" help 2>/dev/null | awk '/^vxltool [a-z]/ {print $2}' | grep -v -- '^-')"
    COMPREPLY=($(compgen -W "$commands help --help --version" -- "$cur"))
    return
  fi
  local command="${words[1]}" help
  help="$("$tool" "$command" --help 2>/dev/null)" || return
  # The option lines of the help, cut to their names and value, as "-s, --size SIZE".
  local lines options
  lines="$(sed -nE 's/^  (-[^ ].*)$/\1/p' <<<"$help" | sed -E 's/  .*//')"
  options="$(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' <<<"$lines" | tr -d ' ,')"
  if [[ "$cur" == -* ]]; then
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    return
  fi
  # The word after an option that takes a value: a folder for --out-dir, nothing else.
  if [[ "$prev" == -* ]] && _vxltool_takes_value "$prev"; then
    [[ "$prev" == "--out-dir" ]] && { compopt -o dirnames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")); }
    return
  fi
  # Which word of the usage this is: count the words so far that are no options.
  local i n=0
  for ((i = 2; i < cword; i++)); do
    if [[ "${words[i]}" == -* ]]; then
      _vxltool_takes_value "${words[i]}" && ((i++))
      continue
    fi
    ((n++))
  done
  # The usage line without its optional parts; of alternatives (a | b), the one whose
  # first word was typed, else the first.
  local usage
  usage="$(sed -n 's/^usage: vxltool [a-z]* //p' <<<"$help" | head -n 1 | sed -E 's/\[[^]]*\]//g')"
  local alt choice=""
  IFS='|' read -ra alts <<<"$usage"
  for alt in "${alts[@]}"; do
    read -ra parts <<<"$alt"
    [[ -z "$choice" ]] && choice="$alt"
    [[ "${parts[0]}" == "${words[2]}" ]] && { choice="$alt"; break; }
  done
  # Its placeholders: the words that are no options nor an option's value.
  local placeholders=() w skip=0
  for w in $choice; do
    if ((skip)); then skip=0; continue; fi
    if [[ "$w" == -* ]]; then _vxltool_takes_value "$w" && skip=1; continue; fi
    placeholders+=("$w")
  done
  local want="${placeholders[n]}"
  [[ -z "$want" && "${placeholders[-1]}" == *... ]] && want="${placeholders[-1]}"
  case "$want" in
    get|set) COMPREPLY=($(compgen -W "get set" -- "$cur")) ;;
    *.png*) _vxltool_files png ;;
    *.pal*) _vxltool_files pal ;;
    *.vox*) _vxltool_files vox ;;
    DIR*) compopt -o dirnames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
    [A-Z]|N|X|Y|Z|R) ;;  # a number
    *) _vxltool_files "vxl|vox" ;;
  esac
}
complete -F _vxltool vxltool
