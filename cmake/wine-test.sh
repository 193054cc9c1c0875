#!/bin/sh
# Runs a Windows test program under Wine for CTest: wine-test.sh WINE PROGRAM [ARGS...].
# The program's output goes through a file of its own, shown when it ends. Wine's desktop and
# services, which a program may start and which outlive it, inherit its standard handles:
# given CTest's pipe, they would keep it open and CTest would wait for the test until its
# time-out.
wine=$1
shift
out=$(mktemp "${TMPDIR:-/tmp}/velquin-wine-test.XXXXXX") || exit 1
"$wine" "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
