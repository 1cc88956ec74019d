#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants each kind of wrong include in a small tree and expects scripts/check_layers.sh
# to fail on it, and to pass the clean tree (same-folder and generated headers included).
set -uo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

clean_tree() {
  rm -rf "$tree/src"
  mkdir -p "$tree"/src/{support,link,settings/ui,app,cli}
  cd "$tree/src" || exit 2
  echo '#pragma once' >support/error.h
  echo '#pragma once' >support/version.h.in
  printf '#include "support/error.h"\n#include "support/version.h"\n#include <vector>\n' \
    >link/port.h
  printf '#include "link/port.h"\n#include "port_names.h"\n#include <queue>\n' >link/port.cpp
  echo '#pragma once' >link/port_names.h
  printf '#include "link/port.h"\n#include <QDialog>\n' >settings/ui/dlg.h
  printf '#include "settings/ui/dlg.h"\n#include <qstring.h>\n' >app/main.cpp
  printf '#include <CLI/CLI.hpp>\n#include <nlohmann/json.hpp>\n#include "link/port.h"\n' \
    >cli/main.cpp
  echo '#pragma once' >settings/car.h
}

failures=0
clean_tree
if ! "$check" "$tree/src" >"$tree/out"; then
  echo "FAIL: the clean tree is refused: $(cat "$tree/out")"
  failures=$((failures + 1))
fi

# file | line planted into it | what the message must say
while IFS='|' read -r file line expected; do
  clean_tree
  printf '%s\n' "$line" >>"$file"
  if "$check" "$tree/src" >"$tree/out"; then
    echo "FAIL: $file with '$line' passes"
    failures=$((failures + 1))
  elif ! grep -qF "$expected" "$tree/out"; then
    echo "FAIL: $file with '$line' says: $(cat "$tree/out")"
    failures=$((failures + 1))
  fi
done <<'PLANTS'
link/port.cpp|#include <settings/ui/dlg.h>|of the window program
link/port.cpp|#include <cli/main.cpp>|from a layer above its own
link/port.cpp|#include "settings/car.h"|from a layer above its own
settings/car.h|#include "settings/ui/dlg.h"|of the window program
link/port.cpp|#include "../app/main.cpp"|a path with ..
link/port.cpp|#include "support/../app/main.cpp"|a path with ..
link/port.cpp|#include <qstring.h>|includes Qt outside the window program
link/port.cpp|#include <QtCore/QString>|includes Qt outside the window program
link/port.cpp|#include "nowhere.h"|not in the tree
support/x.hpp|#include "link/port.h"|from a layer above its own
PLANTS

if ((failures)); then
  echo "$failures plant(s) not caught"
  exit 1
fi
echo "check_layers.sh catches every planted include"
