#!/bin/bash
# Checks a Tobrin MSI's dialogs from its tables, installs it into a fresh private Wine prefix,
# checks what it installed, uninstalls it and checks that nothing of it is left:
#   tests/packaging/msi_check.sh TOBRIN.MSI [VERSION]
# VERSION, the uninstall entry's expected DisplayVersion, defaults to the project's version in
# CMakeLists.txt. Prints one line per failed check; exits 0 only if every check holds.
# Needs wine (64-bit), msitools' msiinfo and, for the checks of the help book and the licence,
# the source tree around this script.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 || ! -f $1 ]]; then
  echo "usage: $0 TOBRIN.MSI [VERSION]" >&2
  exit 2
fi
msi=$(realpath "$1")
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=${2:-$(sed -n 's/^project(Tobrin VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")}
help_dir=$(mktemp -d "${TMPDIR:-/tmp}/tobrin-help.XXXXXX")
# The books as Windows users get them, from res/help: the English one, and each translation.
for language in "" $(cat "$source_dir/po/LINGUAS"); do
  cmake -DSYSTEM=windows -DINPUT_DIR="$source_dir/res/help/$language" \
    -DFALLBACK_DIR="$source_dir/res/help" -DOUTPUT_DIR="$help_dir/$language" \
    -P "$source_dir/cmake/HelpBook.cmake"
done

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

# The dialogs, from the package's tables (a broken link among them shows no page, or ends the
# install with an error, only when someone clicks there): every dialog, control, text style and
# action a row names exists, every control lies inside its dialog, the pages shown before the
# install are the licence page (exactly LICENSE) and the progress page, the closing pages are
# all there, and the last one's check box, on from the start, launches the installed tobrin.exe
# and nothing else does: a silent install starts no program.
ui=$prefix/ui
mkdir "$ui"
for table in Dialog Control ControlEvent ControlCondition EventMapping TextStyle CustomAction \
  Property InstallUISequence InstallExecuteSequence; do
  msiinfo export "$msi" "$table" 2>/dev/null | tr -d '\r' | tail -n +4 >"$ui/$table" || true
done
export LICENCE_WORDS
LICENCE_WORDS=$(tr -s '[:space:]' ' ' <"$source_dir/LICENSE" | sed 's/ $//')
while IFS= read -r problem; do
  fail "installer dialogs: $problem"
done < <(cd "$ui" && awk -F'\t' '
  FNR == 1 { table = FILENAME }
  table == "Dialog" { dialog[$1]; width[$1] = $4; height[$1] = $5
                      ends[$1] = $8 "\t" $9 "\t" $10 }
  table == "Control" { n++; cd[n] = $1; cc[n] = $2; type[n] = $3; x[n] = $4; y[n] = $5
                       w[n] = $6; h[n] = $7; prop[n] = $9; text[n] = $10; next_[n] = $11
                       control[$1, $2] }
  table == "ControlEvent" { e++; ed[e] = $1; ec[e] = $2; ev[e] = $3; arg[e] = $4; econd[e] = $5 }
  table == "ControlCondition" || table == "EventMapping" { r++; rd[r] = $1; rc[r] = $2 }
  table == "TextStyle" { style[$1] }
  table == "CustomAction" { target[$1] = $4 }
  table == "Property" { property[$1] = $2 }
  table == "InstallUISequence" { seq[$1] = $3; cond[$1] = $2 }
  table == "InstallExecuteSequence" { executed[$1] }
  function ref(what, ok) { if (!ok) print what }
  END {
    if (n == 0) { print "no Dialog or Control rows"; exit }
    for (d in dialog) {
      split(ends[d], c, "\t")
      for (i = 1; i <= 3; i++) ref(d ": no control " c[i], c[i] == "" || (d, c[i]) in control)
    }
    for (i = 1; i <= n; i++) {
      ref("control " cc[i] " in no dialog " cd[i], cd[i] in dialog)
      ref(cd[i] "." cc[i] ": no next control " next_[i], next_[i] == "" || (cd[i], next_[i]) in control)
      ref(cd[i] "." cc[i] ": outside the dialog",
          x[i] + w[i] <= width[cd[i]] && y[i] + h[i] <= height[cd[i]])
      if (match(text[i], /^\{\\[A-Za-z_]+\}/))
        ref(cd[i] "." cc[i] ": no text style " substr(text[i], 3, RLENGTH - 3),
            substr(text[i], 3, RLENGTH - 3) in style)
    }
    for (i = 1; i <= r; i++) ref("no control " rd[i] "." rc[i], (rd[i], rc[i]) in control)
    for (i = 1; i <= e; i++) {
      ref("no control " ed[i] "." ec[i], (ed[i], ec[i]) in control)
      if (ev[i] ~ /^(SpawnDialog|NewDialog)$/) ref(ed[i] "." ec[i] ": no dialog " arg[i], arg[i] in dialog)
      if (ev[i] == "DoAction") ref(ed[i] "." ec[i] ": no action " arg[i], arg[i] in target)
    }
    ref("no text style " property["DefaultUIFont"] " for DefaultUIFont", property["DefaultUIFont"] in style)
    for (a in seq) if (seq[a] < 0) closing[seq[a]] = a
    for (s = -3; s <= -1; s++) ref("no closing dialog at " s, closing[s] in dialog)
    # The pages before the install: the first shows the licence, another the progress.
    for (i = 1; i <= n; i++) {
      if (!(cd[i] in seq) || seq[cd[i]] >= seq["ExecuteAction"]) continue
      if (type[i] == "ScrollableText" && cond[cd[i]] == "NOT Installed") {
        words = text[i]
        gsub(/\{\\fonttbl(\{[^}]*\})*\}/, "", words)
        gsub(/\\[a-z]+-?[0-9]* ?|[{}]/, " ", words)
        gsub(/ +/, " ", words); sub(/^ /, "", words); sub(/ $/, "", words)
        licence = licence || words == ENVIRON["LICENCE_WORDS"]
      }
      if (type[i] == "ProgressBar") progress = 1
    }
    ref("no page before the install shows LICENSE", licence)
    ref("no progress page before the install", progress)
    # The last page starts the installed program when its check box is ticked.
    for (i = 1; i <= n; i++)
      if (cd[i] == closing[-1] && type[i] == "CheckBox")
        for (j = 1; j <= e; j++)
          if (ed[j] == cd[i] && ev[j] == "DoAction" && index(econd[j], prop[i]) &&
              index(econd[j], "NOT Installed") && index(target[arg[j]], "[INSTALLDIR]tobrin.exe") &&
              property[prop[i]] != "" && !(arg[j] in executed))
            launch = 1
    ref("no check box on the last page, ticked at first, that launches [INSTALLDIR]tobrin.exe", launch)
  }' Dialog Control ControlEvent ControlCondition EventMapping TextStyle CustomAction Property \
    InstallUISequence InstallExecuteSequence)

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
# Every page of every book, byte for byte, and nothing else in the help folder.
while IFS= read -r name; do
  if [[ ! -f $install_dir/help/$name ]]; then
    fail "help file $name not installed in Program Files/Tobrin/help"
  elif ! cmp -s "$help_dir/$name" "$install_dir/help/$name"; then
    fail "installed help file $name differs from res/help as made for Windows"
  fi
done < <(cd "$help_dir" && find . -type f | sed 's|^\./||')
while IFS= read -r name; do
  [[ -f $help_dir/$name ]] || fail "Program Files/Tobrin/help/$name is no file of the help books"
done < <(cd "$install_dir/help" 2>/dev/null && find . -type f | sed 's|^\./||')
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
