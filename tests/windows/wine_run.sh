#!/bin/bash
# Runs a cross-built test program under Wine, in a private prefix of the build's own (made once,
# under a lock, so that tests running at once share it), without a display: the tests that come
# here need none. The program's exit status is the verdict.
set -euo pipefail
program=$1
shift
build=${TOBRIN_WINE_PREFIX_ROOT:-$(dirname "$program")}
export WINEPREFIX=$build/wine-prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts, and no menu entries written into the user's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
(
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1
) 9>"$build/wine-prefix.lock"
exec wine "$program" "$@"
