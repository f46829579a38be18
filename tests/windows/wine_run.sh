#!/bin/bash
# Runs a cross-built test program under Wine; the program's exit status is the verdict.
#
#   wine_run.sh [--display] PROGRAM [ARGUMENTS...]
#
# Without --display the program runs without a display, in a private prefix of the build's own
# (made once, under a lock, so that tests running at once share it). With --display it runs on
# a private X server started for the run and stopped after it, for programs that draw (Wine's
# OpenGL goes to an X server): Xvfb on a free display number, and a prefix of the program's own,
# used by one run at a time. A prefix's Wine processes share one desktop on the display of the
# process that started it, so programs on different servers cannot share a prefix.
set -euo pipefail
display=false
if [ "${1-}" = --display ]; then
  display=true
  shift
fi
program=$1
shift
build=$(cd "${TOBRIN_WINE_PREFIX_ROOT:-$(dirname "$program")}" && pwd)  # Wine wants it absolute
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts, and no menu entries written into the user's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if ! $display; then
  export WINEPREFIX=$build/wine-prefix
  unset DISPLAY
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1
  ) 9>"$build/wine-prefix.lock"
  exec wine "$program" "$@"
fi

export WINEPREFIX=$build/wine-prefix-$(basename "$program" .exe)
# Held until this script ends; nothing it starts inherits it (9>&-), or a Wine server left
# behind would hold it on.
exec 9>"$WINEPREFIX.lock"
flock 9

# Xvfb chooses a free display number itself and writes it (-displayfd) once it takes
# connections: reading it is waiting for the server to be ready.
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null 9>&-; }
xvfb=$XVFB_PID
stop() {
  # The prefix's Wine server and what it keeps running (the desktop holds a connection to the
  # X server) end before the X server does.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap stop EXIT
# A stop (a test's timeout) ends the script through stop() too, and at once: the program is
# waited for in the background, which a signal interrupts.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
number=
read -r -t 30 number <&"${XVFB[0]}" || true
if [ -z "$number" ]; then
  echo "wine_run: Xvfb did not start (is the xvfb package installed?)" >&2
  exit 1
fi
export DISPLAY=:$number
unset WAYLAND_DISPLAY
# Wine's OpenGL is Mesa's, on the Unix side of the process: it reads the environment Wine
# starts with, not what the program sets in its own. One rendering thread, as on Linux.
export LP_NUM_THREADS=${LP_NUM_THREADS-0}

[ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1 9>&-
# stop() ends the program too, with the rest of the prefix's processes.
wine "$program" "$@" 9>&- &
wait $!
