#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants each kind of wrong include in a small tree and expects scripts/check_layers.sh
# to fail on it, and to pass the clean tree (same-folder and generated headers included)
# and the system headers a layer may include.
set -uo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

clean_tree() {
  rm -rf "$tree/src"
  mkdir -p "$tree"/src/{support,link,settings/ui,app,cli,sim}
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

# file | line planted into it | what the message must say ("passes": taken as it is)
while IFS='|' read -r file line expected; do
  clean_tree
  printf '%s\n' "$line" >>"$file"
  if "$check" "$tree/src" >"$tree/out"; then
    [[ $expected == passes ]] && continue
    echo "FAIL: $file with '$line' passes"
    failures=$((failures + 1))
  elif [[ $expected == passes ]] || ! grep -qF "$file: includes" "$tree/out" ||
    ! grep -qF "$expected" "$tree/out"; then
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
app/main.cpp|#include <Windows.h>|<Windows.h>, a Win32 header, in the window program
settings/ui/dlg.h|#include <WINDOWS.H>|a Win32 header, in the window program
app/main.cpp|#include <dlfcn.h>|<dlfcn.h>, a POSIX header, in the window program
app/main.cpp|#include <linux/serial.h>|a Linux header, in the window program
app/main.cpp|#include <sys/ioctl.h>|a POSIX header, in the window program
app/main.cpp|#include <csignal>|a signal header, in the window program
app/main.cpp|#include <nlohmann/json.hpp>|a library header, in the window program
app/term_posix.cpp|#include <termios.h>|a POSIX header, in the window program
link/port.cpp|#include <winbase.h>|<winbase.h>, a Win32 header, outside the platform files
link/port.cpp|#include <io.h>|a Win32 header, outside the platform files
link/port.cpp|#include <unistd.h>|<unistd.h>, a POSIX header, outside the platform files
link/port.h|#include <sys/stat.h>|a POSIX header, outside the platform files
link/port.cpp|#include <linux/serial.h>|a Linux header, outside the platform files
link/port.cpp|#include <libudev.h>|<libudev.h>, a system header no layer allows
app/main.cpp|#include <boost/asio.hpp>|a system header no layer allows
link/port_posix.cpp|#include <unistd.h>|passes
link/port_posix.cpp|#include <linux/serial.h>|passes
link/port_win32.cpp|#include <Windows.h>|passes
link/port_win32.cpp|#include <io.h>|passes
support/file_io_platform.h|#include <sys/types.h>|passes
link/serial_port.h|#include <termios.h>|passes
link/port.cpp|#include <cstdio>|passes
link/port.cpp|#include <STDINT.H>|passes
sim/main.cpp|#include <csignal>|passes
app/main.cpp|#include <QtCore/QString>|passes
app/main.cpp|#include <string_view>|passes
PLANTS

if ((failures)); then
  echo "$failures plant(s) not caught"
  exit 1
fi
echo "check_layers.sh catches every planted include"
