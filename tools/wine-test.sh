#!/usr/bin/env bash
# tools/wine-test.sh PROGRAM.exe [ARGS...]: runs a test program of the
# Windows build under Wine (tools/wine-run.sh), as ctest does for every test
# and for GoogleTest's listing of them, with one allowance for Wine 8.0.
#
# Wine 8.0's i386 ntdll.so can fault in its own signal handler when the
# process ends while one of its threads is still starting: the thread takes
# the wineserver's termination signal while its %gs is still 0, faults
# on %gs in pthread_sigmask as Wine ends the thread, faults again in the
# handler, and the kernel ends the whole process with SIGSEGV after the
# program's last word. GoogleTest's Windows build starts a watcher thread as
# the first test begins, so a test of a few milliseconds can end that way now
# and then (about once in 3,500 processes), although everything it checked
# passed.
#
# So a run that Wine ended with SIGSEGV is run once more if, and only if, it
# had finished: a test whose output ends with GoogleTest's "[  PASSED  ]"
# line (and the skipped tests' list) and names no failure, or a listing of the tests (which has no side
# effects). The rerun is said on standard error, and its result is the
# result. A test that failed, or that crashed before its summary, fails as
# it did.
#
# LOADHDF_WINE_RUN names another runner in place of tools/wine-run.sh.
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: tools/wine-test.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
run=${LOADHDF_WINE_RUN:-$(cd "$(dirname "$0")" && pwd)/wine-run.sh}
segv_status=$((128 + 11))

# The program and the test it was asked to run, for the log.
what=$(basename "$1")
listing=false
for arg in "$@"; do
  [ "$arg" = --gtest_list_tests ] && listing=true
  [[ $arg == --gtest_filter=* ]] && what="$what ${arg#--gtest_filter=}"
done

output=$(mktemp)
trap 'rm -f "$output"' EXIT

# Runs the program once, its output kept in $output and its status in
# $status. A listing is held back until it is known whole, since CMake reads
# it; a test's output goes out as it comes, so that a test that hangs still
# shows how far it got.
run_once() {
  if $listing; then
    "$run" "$@" >"$output"
    status=$?
  else
    "$run" "$@" | tee "$output"
    status=${PIPESTATUS[0]}
  fi
}

run_once "$@"

# Whether the program's output says that it finished and that all of it
# passed: GoogleTest's summary line, after it nothing but the list of skipped
# tests, and no failure named anywhere.
finished_passing() {
  local after_summary
  grep -q '^\[  PASSED  \] ' "$output" && ! grep -q '^\[  FAILED  \]' "$output" || return 1
  after_summary=$(sed 's/\r$//' "$output" | sed '0,/^\[  PASSED  \] /d' |
    grep -v -e '^[[:space:]]*$' -e '^\[  SKIPPED \] ')
  [ -z "$after_summary" ]
}

if [ "$status" -eq "$segv_status" ] && { $listing || finished_passing; }; then
  echo "wine-test.sh: $what finished$($listing || echo ' and passed'), then Wine" \
    "ended the process with SIGSEGV; running it once more" >&2
  run_once "$@"
fi
$listing && cat "$output"
if [ "$status" -eq "$segv_status" ]; then
  echo "wine-test.sh: $what was ended by SIGSEGV" >&2
fi
exit "$status"
