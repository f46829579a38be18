#!/bin/bash
# Installs a Tobrin MSI into a fresh private Wine prefix, checks what it installed, uninstalls it
# and checks that nothing of it is left:
#   tests/windows/msi_check.sh TOBRIN.MSI [VERSION]
# VERSION, the uninstall entry's expected DisplayVersion, defaults to the project's version in
# CMakeLists.txt. Prints one line per failed check; exits 0 only if every check holds.
# Needs wine (64-bit) and, for the checks of the help book, the source tree around this script.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 || ! -f $1 ]]; then
  echo "usage: $0 TOBRIN.MSI [VERSION]" >&2
  exit 2
fi
msi=$(realpath "$1")
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=${2:-$(sed -n 's/^project(Tobrin VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")}
help_dir=$(mktemp -d "${TMPDIR:-/tmp}/tobrin-help.XXXXXX")
# The book as Windows users get it, from res/help.
cmake -DSYSTEM=windows -DINPUT_DIR="$source_dir/res/help" -DOUTPUT_DIR="$help_dir" \
  -P "$source_dir/cmake/HelpBook.cmake"

failures=0
fail() {
  echo "msi_check: FAILED: $*"
  failures=$((failures + 1))
}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tobrin-msi.XXXXXX")
# No Mono or Gecko installer prompts, and no menu entries written into the host's desktop.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix" "$help_dir"
}
trap cleanup EXIT

# Runs a Windows program to its end, its output dropped; its status (Wine's is modulo 256).
run() { timeout 300 wine "$@" </dev/null >/dev/null 2>&1; }

drive=$prefix/drive_c
install_dir="$drive/Program Files/Tobrin"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# Every file and folder of the prefix's C: drive, one a line; not Windows Installer's own cache
# folder, which the first install makes and which stays.
snapshot() { (cd "$drive" && find . ! -path ./windows/Installer | LC_ALL=C sort); }

# The DisplayVersion of every uninstall entry named Tobrin, one a line.
tobrin_versions() {
  timeout 120 wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
    /^HKEY_/ { if (name == "Tobrin") print version; name = ""; version = ""; next }
    $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); name = $0 }
    $1 == "DisplayVersion" { sub(/^ *DisplayVersion +REG_SZ +/, ""); version = $0 }
    END { if (name == "Tobrin") print version }'
}

# The Start menu shortcut: in the common Programs folder of a per-machine install, or in the
# user's, where Wine puts it.
shortcuts() { find "$drive" -path '*/Start Menu/Programs/Tobrin.lnk'; }

timeout 300 wineboot --init >/dev/null 2>&1 || true
wineserver -w
before=$(snapshot)

if ! run msiexec /i "$msi" /qn; then
  fail "msiexec /i $msi did not succeed"
fi
wineserver -w

if [[ ! -f $install_dir/tobrin.exe ]]; then
  fail "no Program Files/Tobrin/tobrin.exe"
elif [[ $(head -c 2 "$install_dir/tobrin.exe") != MZ ]]; then
  fail "Program Files/Tobrin/tobrin.exe is not a Windows program"
fi
for page in "$help_dir"/*; do
  name=$(basename "$page")
  if [[ ! -f $install_dir/help/$name ]]; then
    fail "help file $name not installed in Program Files/Tobrin/help"
  elif ! cmp -s "$page" "$install_dir/help/$name"; then
    fail "installed help file $name differs from res/help/$name as made for Windows"
  fi
done
if [[ -z $(shortcuts) ]]; then
  fail "no Start menu shortcut Tobrin.lnk"
else
  while IFS= read -r link; do
    grep -aqF 'Program Files\Tobrin\tobrin.exe' "$link" ||
      fail "shortcut ${link#"$drive"/} does not point at Program Files\\Tobrin\\tobrin.exe"
  done < <(shortcuts)
fi
versions=$(tobrin_versions)
if [[ $versions != "$version" ]]; then
  fail "uninstall entries named Tobrin show version(s) '${versions//$'\n'/, }', not '$version'"
fi

if ! run msiexec /x "$msi" /qn; then
  fail "msiexec /x $msi did not succeed"
fi
wineserver -w

left=$(comm -13 <(echo "$before") <(snapshot))
if [[ -n $left ]]; then
  fail "left after uninstalling: $(echo "$left" | sed 's|^\./||' | paste -sd ';' -)"
fi
if [[ -n $(tobrin_versions) ]]; then
  fail "an uninstall entry named Tobrin is left after uninstalling"
fi
if timeout 120 wine reg query 'HKLM\Software\Tobrin' >/dev/null 2>&1; then
  fail "registry key HKLM\\Software\\Tobrin is left after uninstalling"
fi

if ((failures > 0)); then
  echo "msi_check: $failures check(s) failed for $msi"
  exit 1
fi
echo "msi_check: $msi installs, registers version $version and uninstalls cleanly"
