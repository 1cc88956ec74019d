#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a Debian package made by scripts/package.sh: lintian finds no error in it, the
# programs, manual pages, desktop entry and icons are where they are looked for, the
# dependencies are declared and can be met from the distribution, and the installed
# window program starts against its simulated controller.
# Usage: check_package.sh [DEB]   (default: the newest build/package/vapron_*.deb);
# exits 77 (CTest's "skipped") when there is no package.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=${1:-$(ls -t "$here"/../build/package/vapron_*.deb 2>/dev/null | head -n1)}
if [[ -z $deb || ! -f $deb ]]; then
  echo "No package: scripts/package.sh makes one."
  exit 77
fi
deb=$(realpath "$deb")  # apt-get takes a package file by a path with a slash
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == vapron ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == *-* ]] || fail "Version '$(field Version)' has no Debian revision"

# lintian: an error fails the check; warnings are shown.
if ! command -v lintian >/dev/null; then
  fail "lintian is not installed (scripts/install-deps.sh installs it)"
else
  report=$(lintian --tag-display-limit 0 "$deb" 2>&1)
  [[ -n $report ]] && echo "$report"
  grep -q '^E: ' <<<"$report" && fail "lintian reports errors"
fi
depends=$(field Depends)
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  qt6-translations-l10n; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

listing=$(dpkg-deb -c "$deb")
for program in vapron vapron-cli vapron-sim; do
  grep -qE "^-rwxr-xr-x root/root .* \./usr/bin/$program$" <<<"$listing" ||
    fail "no executable /usr/bin/$program"
done
for file in usr/share/doc/vapron/copyright usr/share/doc/vapron/changelog.Debian.gz \
  usr/share/man/man1/vapron.1.gz usr/share/man/man1/vapron-cli.1.gz \
  usr/share/man/man1/vapron-sim.1.gz usr/share/applications/vapron.desktop \
  usr/share/icons/hicolor/scalable/apps/vapron.svg \
  usr/share/icons/hicolor/48x48/apps/vapron.png \
  usr/share/icons/hicolor/128x128/apps/vapron.png; do
  grep -qE "^-rw-r--r-- root/root .* \./$file$" <<<"$listing" || fail "no /$file"
done

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree/root"
desktop=$tree/root/usr/share/applications/vapron.desktop
grep -qx "Exec=vapron" "$desktop" || fail "desktop entry does not start vapron"
grep -qx "Icon=vapron" "$desktop" || fail "desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry is not valid"
fi

# The dependencies can be met from the distribution's archive (a dry run).
if command -v apt-get >/dev/null; then
  apt-get install --simulate --no-install-recommends "$deb" >"$tree/apt.log" 2>&1 ||
    fail "apt-get cannot install it: $(tail -n3 "$tree/apt.log")"
fi

# The installed programs run: the window program stays up against the simulator.
bin=$tree/root/usr/bin
"$bin/vapron-cli" --help >/dev/null || fail "vapron-cli --help"
"$bin/vapron" --help >/dev/null || fail "vapron --help"
for program in vapron vapron-cli vapron-sim; do
  [[ $("$bin/$program" --version) == "$program $(field Version | cut -d- -f1)" ]] ||
    fail "$program --version does not name the package's version"
done
mkdir -p "$tree/home"
VAPRON_HOME=$tree/home QT_QPA_PLATFORM=offscreen timeout 4 "$bin/vapron" --simulate \
  >"$tree/run.log" 2>&1
status=$?
[[ $status == 124 ]] || fail "vapron --simulate ended with $status: $(tail -n3 "$tree/run.log")"

if ((failures)); then
  echo "$failures problems in $deb"
  exit 1
fi
echo "$deb: contents, dependencies and start-up as expected"
