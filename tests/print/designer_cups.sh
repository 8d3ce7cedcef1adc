#!/usr/bin/env bash
# The designer's 印刷 on a real queue: a private cupsd whose cups-pdf queue
# holds its jobs, the main frame of the shell tests printing the example.
# While the job runs, a second 印刷 and a close request reach the frame (see
# ARealPrintJobRunsAloneAndACloseWaitsForIt): exactly one job reaches the
# queue, and the frame closes after it. Needs root; skipped (status 77) otherwise.
set -u
shell_tests="$1"
source_dir="$2"
source "$source_dir/tests/print/private_cupsd.sh"
cupsd_test_session
source "$source_dir/tests/support/expect.sh"
info() { pdfinfo "$1" 2>/dev/null | sed -n "s/^$2: *//p"; }

cupsdisable PDF
ZRK_TEST_PRIVATE_CUPSD=1 QT_QPA_PLATFORM=offscreen timeout 120 "$shell_tests" \
  --gtest_filter='ShellFixture.ARealPrintJobRunsAloneAndACloseWaitsForIt' >"$tmp/out" 2>&1
status=$?
expect "frame test passed" test "$status" -eq 0
grep -q '\[  SKIPPED \]' "$tmp/out" && { echo "FAILED: the frame test was skipped"; failed=$((failed + 1)); }
[ "$status" -eq 0 ] || grep -E 'Failure|FAILED|Expected|Actual|Value of' "$tmp/out" | head -n 20
jobs=$(lpstat -o PDF 2>/dev/null | grep -c '^PDF-')
expect "one job reached the queue (got $jobs)" test "$jobs" -eq 1
job=$(lpstat -o PDF 2>/dev/null | sed -n 's/^PDF-\([0-9]*\) .*/\1/p' | head -n 1)
spooled="$(cupsd_spool_dir)/d$(printf '%05d' "${job:-0}")-001"
expect "the job is the example form" test "$(info "$spooled" Title)" = "請求書"
cancel -a PDF 2>/dev/null
finish
