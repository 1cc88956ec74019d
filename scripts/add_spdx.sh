#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line at the top of every source file of the project:
#   "// SPDX-License-Identifier: GPL-3.0-or-later"  in C++ sources and headers and in
#                                                     Windows resource scripts (.rc),
#   "# SPDX-License-Identifier: GPL-3.0-or-later"   in scripts, PowerShell scripts (.ps1)
#                                                     and CMake files (after a "#!" line
#                                                     when there is one),
#   "; SPDX-License-Identifier: GPL-3.0-or-later"   in NSIS installer scripts (.nsi).
# Files that already carry it are left as they are, so running it again changes nothing.
#   add_spdx.sh [SOURCE_ROOT]           adds the line where it is missing
#   add_spdx.sh --check [SOURCE_ROOT]   only lists the files without it; fails if any
set -euo pipefail
check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi
root=${1:-"$(dirname "$0")/.."}
cd "$root"
readonly id="SPDX-License-Identifier: GPL-3.0-or-later"

source_files() {  # the project's own sources, as git knows them (or as found)
  local types='\.(cpp|h|h\.in|sh|cmake|rc|ps1|nsi)$'
  local named='(^|/)CMakeLists\.txt$|^(run|test)\.sh$|^\.ci/run$'
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files
  else
    find . -path ./build -prune -o -type f -print | sed 's|^\./||'
  fi | grep -E "$types|$named" |
    grep -vE '^(build|fuzz/corpus)/'
}

comment_for() {  # the line a file gets
  case $1 in
    *.cpp | *.h | *.h.in | *.rc) echo "// $id" ;;
    *.nsi) echo "; $id" ;;
    *) echo "# $id" ;;
  esac
}

has_line() {  # in the first two lines, where it is put
  head -n 2 "$1" | grep -qF "$id"
}

missing=0
while IFS= read -r file; do
  [[ -f $file ]] || continue
  has_line "$file" && continue
  if ((check)); then
    echo "$file: no \"$id\" line at the top"
    missing=$((missing + 1))
    continue
  fi
  line=$(comment_for "$file")
  tmp=$(mktemp "$file.XXXXXX")
  if [[ $(head -c 2 "$file") == "#!" ]]; then
    { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$tmp"
  else
    { echo "$line"; cat "$file"; } >"$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
done < <(source_files)

if ((check)); then
  if ((missing)); then
    echo "$missing source file(s) without the licence line: scripts/add_spdx.sh adds it"
    exit 1
  fi
  echo "every source file carries \"$id\""
fi
