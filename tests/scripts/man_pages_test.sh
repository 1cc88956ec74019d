#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every command of vapron-cli (a nested one as "settings get") and every option of the
# three programs is named in its manual page (doc/man/PROGRAM.1.md, bold).
# Usage: man_pages_test.sh SOURCE_ROOT VAPRON_CLI VAPRON_SIM [VAPRON]
set -uo pipefail
pages=$1/doc/man
cli=$2
failures=0

named() {  # $1: page, $2: what must appear in bold
  if ! grep -qF -- "**$2**" "$pages/$1.1.md"; then
    echo "FAIL: $1(1) does not name $2"
    failures=$((failures + 1))
  fi
}

commands_of() {  # the commands listed in the help of `vapron-cli $*`
  "$cli" "$@" --help | sed -n '/^Polecenia:/,/^$/p' | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p'
}

options_of() {  # the long options a help text lists
  grep -oE -- '(^|[ ,[])--[a-z][a-z-]+' | grep -oE -- '--[a-z-]+' | sort -u
}

walk() {  # every command below `vapron-cli $*` that has none below it is named
  local command
  for command in $(commands_of "$@"); do
    if [[ -n $(commands_of "$@" "$command") ]]; then
      walk "$@" "$command"
    else
      named vapron-cli "$(echo "$* $command" | sed 's/^ //')"
    fi
  done
}

walk
for option in $("$cli" --help | options_of); do
  named vapron-cli "$option"
done
for option in $("$3" --help | options_of); do
  named vapron-sim "$option"
done
if [[ -n ${4:-} ]]; then
  for option in $("$4" --help | options_of); do
    named vapron "$option"
  done
fi
if ((failures)); then
  exit 1
fi
echo "the manual pages name every command and option"
