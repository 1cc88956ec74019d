#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants a source file of each type without the licence line in a small tree and expects
# scripts/add_spdx.sh --check to name it, add_spdx.sh to give it the line in the comment
# syntax of its type (after a "#!" line), and a second run to change nothing.
set -uo pipefail
spdx=$(cd "$(dirname "$0")/../../scripts" && pwd)/add_spdx.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
readonly id="SPDX-License-Identifier: GPL-3.0-or-later"

failures=0
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# file | its first line | the comment its licence line starts with
while IFS='|' read -r file first comment; do
  rm -rf "$tree/src"
  mkdir -p "$tree/src/$(dirname "$file")"
  printf '%s\nbody\n' "$first" >"$tree/src/$file"
  echo "notes" >"$tree/src/README.md"  # a type that takes no line
  if "$spdx" --check "$tree/src" >"$tree/out"; then
    fail "$file without the line passes --check"
  elif ! grep -qxF "$file: no \"$id\" line at the top" "$tree/out" ||
    grep -qF README.md "$tree/out"; then
    fail "--check on $file says: $(cat "$tree/out")"
  fi

  "$spdx" "$tree/src"
  if [[ $first == '#!'* ]]; then
    printf '%s\n%s %s\nbody\n' "$first" "$comment" "$id" >"$tree/expected"
  else
    printf '%s %s\n%s\nbody\n' "$comment" "$id" "$first" >"$tree/expected"
  fi
  cmp -s "$tree/expected" "$tree/src/$file" || fail "$file becomes: $(cat "$tree/src/$file")"
  [[ $(cat "$tree/src/README.md") == notes ]] || fail "README.md is changed beside $file"
  "$spdx" --check "$tree/src" >"$tree/out" || fail "--check after adding: $(cat "$tree/out")"

  cp "$tree/src/$file" "$tree/once"
  "$spdx" "$tree/src"
  cmp -s "$tree/once" "$tree/src/$file" || fail "a second run changes $file"
done <<'PLANTS'
src/link/port.cpp|#include "link/port.h"|//
src/link/port.h|#pragma once|//
src/support/version.h.in|#define VAPRON_VERSION "@PROJECT_VERSION@"|//
cmake/windows/utf8.rc|1 24 "utf8.manifest"|//
packaging/windows/package.ps1|$ErrorActionPreference = "Stop"|#
packaging/windows/vapron.nsi|Unicode true|;
scripts/fuzz.sh|#!/usr/bin/env bash|#
cmake/packaging.cmake|include(GNUInstallDirs)|#
tests/CMakeLists.txt|enable_testing()|#
PLANTS

if ((failures)); then
  echo "$failures plant(s) not handled"
  exit 1
fi
echo "add_spdx.sh finds and marks a file of every type"
