#!/usr/bin/env bash
# Runs a host command and passes when it ends with the expected exit status AND its output
# (standard output and error together) matches a pattern: neither alone makes a pass. Windows
# programs' output tests are run-tests.exe's (tests/kit, cmake/OutputTest.cmake); this checks
# what runs on the host: native programs and the scripted visit of the launcher.
#   expect_output.sh STATUS PATTERN COMMAND [ARGS...]
# PATTERN is an extended regular expression in which '.' also matches line ends.
set -uo pipefail
expected_status=$1 pattern=$2
shift 2
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
failures=0
if [ "$status" -ne "$expected_status" ]; then
  echo "FAIL: exit status $status, expected $expected_status"
  failures=1
fi
if ! printf '%s' "$output" | tr -d '\r' | grep -qzE -- "$pattern"; then
  echo "FAIL: the output does not match: $pattern"
  failures=1
fi
exit $failures
