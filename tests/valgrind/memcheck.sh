#!/bin/sh
# Runs a test program with valgrind's memcheck and judges the reports with check_valgrind_xml.
#
#   memcheck.sh [--wrap] CHECKER SOURCE_ROOT OUT_DIR PROGRAM [ARGS...]
#
# Without --wrap, PROGRAM itself runs under valgrind (the in-process shell tests). With --wrap,
# PROGRAM runs as it is and every tobrin it starts runs under valgrind: the end-to-end helpers
# put TOBRIN_TEST_WRAPPER in front of the executable and stretch their timeouts by
# TOBRIN_TEST_TIME_SCALE. One XML report per process goes to OUT_DIR (emptied first).
#
# Mesa renders with softpipe and interprets its vertex stages (DRAW_USE_LLVM=0): llvmpipe and
# the LLVM-compiled vertex stages generate machine code at run time, which valgrind must
# translate again, several times slower; and LLVM 15 itself crashes under valgrind while it
# compiles the stages that the selection mode (picking) needs.
# Fails when the program fails, when no report was written, or when a report is not clean.
set -u

wrap=0
if [ "${1:-}" = "--wrap" ]; then
  wrap=1
  shift
fi
if [ $# -lt 4 ]; then
  echo "usage: memcheck.sh [--wrap] CHECKER SOURCE_ROOT OUT_DIR PROGRAM [ARGS...]" >&2
  exit 2
fi
checker=$1
root=$2
out=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$out"
mkdir -p "$out" || exit 2

suppressions=""
for s in "$here"/*.supp; do
  [ -e "$s" ] || continue
  suppressions="$suppressions --suppressions=$s"
done
options="--tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect
  --errors-for-leak-kinds=definite,indirect --num-callers=50 --child-silent-after-fork=yes
  --xml=yes$suppressions"

GALLIUM_DRIVER=softpipe
DRAW_USE_LLVM=0
export GALLIUM_DRIVER DRAW_USE_LLVM

if [ $wrap -eq 1 ]; then
  # Words split on blanks by the helper: the paths here must have none.
  TOBRIN_TEST_WRAPPER="valgrind $(echo $options) --xml-file=$out/tobrin.%p.xml --log-file=$out/tobrin.%p.log"
  TOBRIN_TEST_TIME_SCALE=${TOBRIN_TEST_TIME_SCALE:-12}
  export TOBRIN_TEST_WRAPPER TOBRIN_TEST_TIME_SCALE
  "$@"
  status=$?
else
  # shellcheck disable=SC2086
  valgrind $options --xml-file="$out/test.%p.xml" --log-file="$out/test.%p.log" "$@"
  status=$?
fi

set -- "$out"/*.xml
if [ ! -e "$1" ]; then
  echo "memcheck: no valgrind report was written to $out" >&2
  exit 1
fi
"$checker" --source-root "$root" "$@"
checked=$?
if [ $status -ne 0 ]; then
  echo "memcheck: the program under test failed (status $status)" >&2
  exit 1
fi
exit $checked
