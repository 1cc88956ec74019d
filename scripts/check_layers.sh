#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header from a layer above its own, when a view
# includes anything of app/ but the document, when a core folder includes a window
# folder (*/ui/), or when anything outside the window program includes Qt. Both include
# forms count ("..." and <...> naming one of our folders); a path with "..", a header of
# our folders the tree does not hold, and an unknown folder are failures too.
# Every other <...> header must be one its layer allows, its name compared in any case
# (Windows code spells <Windows.h>, <windows.h> and <WINDOWS.H> alike):
#   window program (app/, display/, widgets/, */ui/): the C++ standard library with its
#     C headers but <csignal> (Ctrl+C is the core's), and Qt;
#   core (everything else): the C++ standard library with its C headers, <csignal>, and
#     the libraries the CLI uses (CLI11, nlohmann/json); POSIX, Linux and Win32 headers
#     only in the platform files (*_posix.cpp, *_win32.cpp, *_platform.h and the files
#     platform_file names).
# A system header on none of the lists fails as well, so a new one is looked at first.
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
    writes) echo "support link settings diag writes" ;;
    corrections) echo "support link settings diag writes corrections" ;;
    autosetup) echo "support link settings diag writes autosetup" ;;
    cli) echo "support link settings diag writes corrections autosetup sim cli" ;;
  esac
}
core="support link settings diag writes corrections autosetup sim"
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

# The core files that talk to the system, each in its POSIX and Win32 form or both: the
# serial line, port list, process table, file I/O and atomic replace, Ctrl+C, console
# input, program folders, the simulator's pseudo-terminal and the Windows text helpers.
platform_file() {
  case $1 in
    *_posix.cpp | *_win32.cpp | *_platform.h) return 0 ;;
    link/serial_port* | link/port_list* | link/process_table*) return 0 ;;
    support/file_io* | support/atomic_file* | support/interrupt*) return 0 ;;
    support/console_input* | support/win32_text*) return 0 ;;
    settings/program_folders* | sim/pty_server*) return 0 ;;
    *) return 1 ;;
  esac
}

# The headers of <...> includes that are not ours, by kind; names in lower case.
std_headers="algorithm any array atomic barrier bit bitset charconv chrono codecvt compare
  complex concepts condition_variable coroutine deque exception execution expected
  filesystem flat_map flat_set format forward_list fstream functional future generator
  initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale
  map mdspan memory memory_resource mutex new numbers numeric optional ostream print queue
  random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location
  span spanstream sstream stack stacktrace stdexcept stdfloat stop_token streambuf string
  string_view syncstream system_error thread tuple type_traits typeindex typeinfo
  unordered_map unordered_set utility valarray variant vector version
  cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp cstdarg
  cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
  assert.h ctype.h errno.h fenv.h float.h inttypes.h iso646.h limits.h locale.h math.h
  setjmp.h stdalign.h stdarg.h stdbool.h stddef.h stdint.h stdio.h stdlib.h string.h
  time.h uchar.h wchar.h wctype.h"
signal_headers="csignal signal.h"  # standard, but Ctrl+C is the core's (support/interrupt)
posix_headers="aio.h arpa/inet.h dirent.h dlfcn.h fcntl.h fnmatch.h glob.h grp.h libgen.h
  mqueue.h netdb.h netinet/in.h netinet/tcp.h poll.h pthread.h pty.h pwd.h regex.h sched.h
  semaphore.h spawn.h strings.h syslog.h termios.h ulimit.h unistd.h utime.h utmp.h
  wordexp.h"
win32_headers="combaseapi.h conio.h consoleapi.h devguid.h direct.h errhandlingapi.h
  fileapi.h handleapi.h io.h knownfolders.h objbase.h process.h processthreadsapi.h
  setupapi.h share.h shellapi.h shlobj.h shlwapi.h stringapiset.h synchapi.h tchar.h"

declare -A kind_of
for header in $std_headers; do kind_of[$header]=std; done
for header in $signal_headers; do kind_of[$header]=signal; done
for header in $posix_headers; do kind_of[$header]=posix; done
for header in $win32_headers; do kind_of[$header]=win32; done

header_kind() {  # $1: the name between < and >; sets kind
  local name=$1 lower=${1,,}
  kind=${kind_of[$lower]:-}
  if [[ -n $kind ]]; then
    return
  elif [[ $name =~ ^(Q|q[a-z0-9_]*\.h$) ]]; then
    kind=qt
  elif [[ $name == CLI/* || $name == nlohmann/* ]]; then
    kind=library
  elif [[ $lower == linux/* || $lower == asm/* ]]; then
    kind=linux
  elif [[ $lower == sys/*.h ]]; then
    kind=posix
  elif [[ $lower == win*.h ]]; then
    kind=win32
  else
    kind=unknown
  fi
}

header_kinds_for() {  # $1: path of a file below src/; the kinds of header it may include
  if is_window_file "$1"; then
    echo "std qt"
  elif platform_file "$1"; then
    echo "std signal library posix linux win32"
  else
    echo "std signal library"
  fi
}

declare -A kind_name=([signal]="a signal header" [library]="a library header"
  [posix]="a POSIX header" [linux]="a Linux header" [win32]="a Win32 header")

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
  kinds=$(header_kinds_for "$file")
  while read -r form inc; do
    top=${inc%%/*}
    if [[ $form == "<" && ! ($inc == */* && " $ours " == *" $top "*) ]]; then
      header_kind "$inc"
      if [[ " $kinds " == *" $kind "* ]]; then
        continue
      elif [[ $kind == unknown ]]; then
        fail "$file: includes <$inc>, a system header no layer allows"
      elif [[ $kind == qt ]]; then
        fail "$file: includes Qt outside the window program"
      elif is_window_file "$file"; then
        fail "$file: includes <$inc>, ${kind_name[$kind]}, in the window program"
      else
        fail "$file: includes <$inc>, ${kind_name[$kind]}, outside the platform files"
      fi
      continue
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

if ((failures > 0)); then
  echo "$failures layer violation(s)"
  exit 1
fi
echo "layers: every include points downward"
