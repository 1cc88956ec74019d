#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header from a layer above its own, when a view
# includes anything of app/ but the document, when a core folder includes a window
# folder (*/ui/), when anything outside the window program includes Qt, or when the
# window program includes a POSIX or Win32 header. Both include
# forms count ("..." and <...> naming one of our folders); a path with "..", a header of
# our folders the tree does not hold, and an unknown folder are failures too.
# Usage: check_layers.sh [SOURCE_ROOT]   (default: the src/ folder beside this script)
set -uo pipefail
root=${1:-"$(dirname "$0")/../src"}
cd "$root" || exit 2

core_below() {  # the folders a core folder may include
  case $1 in
    support) echo "support" ;;
    link) echo "support link" ;;
    sim) echo "support link sim" ;;
    settings) echo "support link settings" ;;
    diag) echo "support link settings diag" ;;
    corrections) echo "support link settings diag corrections" ;;
    autosetup) echo "support link settings diag autosetup" ;;
    cli) echo "support link settings diag corrections autosetup sim cli" ;;
  esac
}
core="support link settings diag corrections autosetup sim"
ui_base="$core widgets"
ours="$core cli widgets display app"

allowed_for() {  # $1: path of a file below src/
  local path=$1 top=${1%%/*}
  case $path in
    */ui/*) echo "$ui_base display ${path%%/ui/*}/ui app/device_doc.h" ;;
    widgets/*) echo "$ui_base" ;;
    display/*) echo "$ui_base display app/device_doc.h" ;;
    app/*) echo "$ui_base display app */ui" ;;
    *) core_below "$top" ;;
  esac
}

is_window_file() {
  case $1 in
    app/* | display/* | widgets/* | */ui/*) return 0 ;;
    *) return 1 ;;
  esac
}

may_include() {  # $1: included path, rest: allowed folders or files
  local inc=$1 a
  shift
  for a in "$@"; do
    [[ $inc == "$a" ]] && return 0
    # shellcheck disable=SC2053
    [[ $inc == $a/* ]] && return 0
  done
  return 1
}

# Every include line of a file as "FORM PATH" (FORM is " or <).
includes() {
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\(["<]\)\([^">]*\)[">].*/\1 \2/p' "$1"
}

failures=0
fail() {
  echo "$1"
  failures=$((failures + 1))
}

while IFS= read -r file; do
  file=${file#./}
  read -r -a allowed <<<"$(allowed_for "$file")"
  if [[ ${#allowed[@]} -eq 0 ]]; then
    fail "$file: folder without a layer"
    continue
  fi
  folder=$(dirname "$file")
  while read -r form inc; do
    top=${inc%%/*}
    if [[ $form == "<" ]]; then
      if ! is_window_file "$file" && [[ $inc =~ ^(Q|q[a-z0-9_]*\.h$) ]]; then
        fail "$file: includes Qt outside the window program"
      fi
      [[ $inc == */* && " $ours " == *" $top "* ]] || continue  # a library's header
    fi
    if [[ $inc == *..* ]]; then
      fail "$file: includes \"$inc\", a path with .."
      continue
    fi
    if [[ $inc != */* ]]; then
      [[ $form == '"' && -f $folder/$inc ]] && inc=$folder/$inc  # a header beside it
    fi
    if [[ ! -f $inc && ! -f $inc.in ]]; then  # .in: a header the build generates
      fail "$file: includes \"$inc\", which is not in the tree"
    elif [[ $inc == */ui/* ]] && ! is_window_file "$file"; then
      fail "$file: includes \"$inc\" of the window program"
    elif ! may_include "$inc" "${allowed[@]}"; then
      fail "$file: includes \"$inc\" from a layer above its own"
    fi
  done < <(includes "$file")
done < <(find . -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.hh' -o -name '*.hxx' \
  -o -name '*.cpp' -o -name '*.cc' -o -name '*.cxx' -o -name '*.h.in' \) | sort)

# The window program builds for Windows as well: it reaches the system through Qt and
# the core, never through POSIX or Win32 headers of its own.
system_headers='unistd\.h|fcntl\.h|termios\.h|poll\.h|pwd\.h|grp\.h|dirent\.h|pthread\.h|'
system_headers+='signal\.h|csignal|pty\.h|sys/[a-z_]+\.h|windows\.h|io\.h|shlobj\.h|winreg\.h'
while IFS= read -r file; do
  file=${file#./}
  if is_window_file "$file" &&
    grep -Eq "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($system_headers)>" "$file"; then
    fail "$file: includes a POSIX or Win32 header in the window program"
  fi
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if ((failures > 0)); then
  echo "$failures layer violation(s)"
  exit 1
fi
echo "layers: every include points downward"
