#!/bin/sh
# Runs a test program with valgrind's memcheck, whose exit status is the verdict: valgrind exits
# with 99 when it found an invalid read, write or free, a use of an uninitialised value, or a
# definitely or indirectly lost block that no entry of tests/valgrind/*.supp names as another
# library's own; its report says what and where.
#
#   memcheck.sh PROGRAM [ARGS...]
#   memcheck.sh --wrap OUT_DIR PROGRAM [ARGS...]
#
# Without --wrap, PROGRAM itself runs under valgrind (the in-process shell tests) and valgrind
# reports on standard error. With --wrap, PROGRAM runs as it is and every tobrin it starts runs
# under valgrind: the end-to-end helpers put TOBRIN_TEST_WRAPPER in front of the executable and
# stretch their timeouts by TOBRIN_TEST_TIME_SCALE. Those tests do not all look at how the
# program ended, so each valgrind's log and exit status are kept in OUT_DIR (emptied first), and
# the log of every one that did not end well is shown.
#
# Mesa renders with softpipe and interprets its vertex stages (DRAW_USE_LLVM=0): llvmpipe and
# the LLVM-compiled vertex stages generate machine code at run time, which valgrind must
# translate again, several times slower; and LLVM 15 itself crashes under valgrind while it
# compiles the stages that the selection mode (picking) needs.
# Fails when the program fails or valgrind finds an error.
set -u

error_status=99
here=$(cd "$(dirname "$0")" && pwd)
suppressions=""
for s in "$here"/*.supp; do
  [ -e "$s" ] || continue
  suppressions="$suppressions --suppressions=$s"
done
# Pango's font lookups recurse deep into fontconfig: 100 frames reach past them to the caller
# that the fontconfig suppression names.
options="--tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect
  --errors-for-leak-kinds=definite,indirect --error-exitcode=$error_status --num-callers=100
  --child-silent-after-fork=yes$suppressions"
GALLIUM_DRIVER=softpipe
DRAW_USE_LLVM=0
export GALLIUM_DRIVER DRAW_USE_LLVM

if [ "${1:-}" = "--child" ]; then
  # One tobrin a test started. valgrind runs in the background so that the termination signals
  # the test sends reach the program through it; a signal cuts `wait` short, so wait again.
  out=$2
  shift 2
  # shellcheck disable=SC2086
  valgrind $options --log-file="$out/tobrin.%p.log" "$@" &
  pid=$!
  again=1
  trap 'kill -TERM $pid 2>/dev/null && again=1' TERM
  trap 'kill -INT $pid 2>/dev/null && again=1' INT
  trap 'kill -HUP $pid 2>/dev/null && again=1' HUP
  while [ $again -eq 1 ]; do
    again=0
    wait $pid
    status=$?
  done
  echo $status >"$out/status.$pid"
  exit $status
fi

if [ "${1:-}" != "--wrap" ]; then
  if [ $# -lt 1 ]; then
    echo "usage: memcheck.sh PROGRAM [ARGS...] | memcheck.sh --wrap OUT_DIR PROGRAM [ARGS...]" >&2
    exit 2
  fi
  # shellcheck disable=SC2086
  valgrind $options "$@"
  status=$?
  if [ $status -eq $error_status ]; then
    echo "memcheck: valgrind found errors (reported above)" >&2
    exit 1
  fi
  [ $status -eq 0 ] || echo "memcheck: the program under test failed (status $status)" >&2
  exit $status
fi

if [ $# -lt 3 ]; then
  echo "usage: memcheck.sh --wrap OUT_DIR PROGRAM [ARGS...]" >&2
  exit 2
fi
out=$2
shift 2
rm -rf "$out"
mkdir -p "$out" || exit 2
# Words split on blanks by the helpers: the paths here must have none.
TOBRIN_TEST_WRAPPER="sh $here/memcheck.sh --child $out"
TOBRIN_TEST_TIME_SCALE=${TOBRIN_TEST_TIME_SCALE:-12}
export TOBRIN_TEST_WRAPPER TOBRIN_TEST_TIME_SCALE
"$@"
status=$?
result=0
started=0
for log in "$out"/tobrin.*.log; do
  [ -e "$log" ] || continue
  started=$((started + 1))
  pid=${log##*/tobrin.}
  pid=${pid%.log}
  ended=$(cat "$out/status.$pid" 2>/dev/null || echo "never seen")
  # The program's own statuses are for the tests to judge; valgrind's error status, a signal
  # (no leak check ran) or an end nobody saw are memcheck's failures.
  if [ "$ended" = "never seen" ] || [ "$ended" -eq $error_status ] || [ "$ended" -gt 128 ]; then
    echo "memcheck: tobrin $pid under valgrind ended with $ended; its report:" >&2
    cat "$log" >&2
    result=1
  fi
done
if [ $started -eq 0 ]; then
  echo "memcheck: the program under test started no tobrin" >&2
  result=1
fi
if [ $status -ne 0 ]; then
  echo "memcheck: the program under test failed (status $status)" >&2
  result=1
fi
[ $result -eq 0 ] || echo "memcheck: valgrind's logs and statuses are in $out" >&2
exit $result
