#!/bin/sh
# Checks that run_test.sh lets pass exactly LeakSanitizer's tracer crash after passed tests, and
# passes every other end through: a failed test, a leak or a memory error before the crash, the
# crash before any verdict, another status.
run="$(dirname "$0")/run_test.sh"
passed='[  PASSED  ] 1 test.'
tracer='Tracer caught signal 11: addr=0x16d8 pc=0x1 sp=0x2
==9==LeakSanitizer has encountered a fatal error.'
failures=0
expect() { # expect WANTED STATUS TEXT
  "$run" sh -c 'printf "%s\n" "$1"; exit "$2"' sh "$3" "$2" >/dev/null
  got=$?
  if [ "$got" -ne "$1" ]; then
    echo "status $2 with output [$3]: got $got, wanted $1"
    failures=$((failures + 1))
  fi
}
expect 0 0 "$passed"
expect 0 1 "$passed
$tracer"
expect 1 1 "$passed
[  FAILED  ] 1 test
$tracer"
expect 1 1 "==9==ERROR: LeakSanitizer: detected memory leaks
$passed
$tracer"
expect 1 1 "x.cpp:1:2: runtime error: signed integer overflow
$passed
$tracer"
expect 2 2 "$passed
$tracer"
expect 1 1 "$tracer"
expect 1 1 "$passed"
[ "$failures" -eq 0 ]
