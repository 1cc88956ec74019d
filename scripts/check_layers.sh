#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own, when a view
# includes anything of app/ but the document, when anything outside the window program
# includes Qt, or when the window program includes a POSIX or Win32 header.
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

system_headers='unistd\.h|fcntl\.h|termios\.h|poll\.h|pwd\.h|grp\.h|dirent\.h|pthread\.h|'
system_headers+='signal\.h|csignal|pty\.h|sys/[a-z_]+\.h|windows\.h|io\.h|shlobj\.h|winreg\.h'

failures=0
while IFS= read -r file; do
  file=${file#./}
  read -r -a allowed <<<"$(allowed_for "$file")"
  if [[ ${#allowed[@]} -eq 0 ]]; then
    echo "$file: folder without a layer"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r inc; do
    if ! may_include "$inc" "${allowed[@]}"; then
      echo "$file: includes \"$inc\" from a layer above its own"
      failures=$((failures + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  case $file in
    app/* | display/* | widgets/* | */ui/*)
      # The window program builds for Windows as well: the system is reached through Qt
      # and the core, never through POSIX or Win32 headers of its own.
      if grep -Eq "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($system_headers)>" "$file"; then
        echo "$file: includes a POSIX or Win32 header in the window program"
        failures=$((failures + 1))
      fi
      ;;
    *)
      if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
        echo "$file: includes Qt outside the window program"
        failures=$((failures + 1))
      fi
      ;;
  esac
done < <(find . -name '*.h' -o -name '*.cpp' | sort)

if ((failures > 0)); then
  echo "$failures layer violation(s)"
  exit 1
fi
echo "layers: every include points downward"
