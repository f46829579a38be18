#!/bin/sh
# Runs a test program of the sanitizer build, for CTest. LeakSanitizer's tracer thread can crash
# while it stops the program's threads for the leak check at exit (a failure inside the
# sanitizer, seen rarely, on busy machines, in programs that ran the toolkit's file dialog and
# so its pool of worker threads). It then ends the program with status 1 and no leak check,
# after the tests have finished and printed their verdict. Exactly that end is reported and
# the tests' own verdict stands: every test passed, and nothing reported a leak, a memory error
# or undefined behaviour. Any other end passes through unchanged.
out=$(mktemp) || exit 2
"$@" >"$out" 2>&1
status=$?
cat "$out"
if [ "$status" -eq 1 ] &&
  grep -q '^Tracer caught signal' "$out" &&
  grep -q 'LeakSanitizer has encountered a fatal error' "$out" &&
  grep -q '^\[  PASSED  \]' "$out" &&
  ! grep -q -e '^\[  FAILED  \]' -e 'ERROR: ' -e 'runtime error: ' "$out"; then
  echo "note: LeakSanitizer's tracer crashed at exit, after every test had passed; the leak" \
    "check did not run, and the tests' status 0 stands"
  status=0
fi
rm -f "$out"
exit "$status"
