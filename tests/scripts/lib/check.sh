# Sourced by the script tests: a scratch folder $work removed on exit (kept
# when KEEP_WORK is set), check NAME, which counts the status of the command
# just run as one case, and zbar_read.
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/zbar.sh"
failures=0
checks=0
# NAME must not run a command, $(...) included: bash counts that command's
# status as the one just run.
check() {
  local status=$?
  checks=$((checks + 1))
  if [ $status -ne 0 ]; then failures=$((failures + 1)); echo "FAIL: $1"; fi
}

# not_run NAME WHY: a row this machine lacks the power for, said by name
# with what gives it, and listed in build/not-run.txt (CI refuses a run
# that has any). A test with such rows and no failure exits 77, which
# ctest counts as skipped, never as passed.
not_run_rows=0
not_run() {
  not_run_rows=$((not_run_rows + 1))
  echo "NOT RUN: $1 ($2)"
  [ -n "${BUILD_DIR:-}" ] && echo "${QELV_ARCH:-} $1 ($2)" >>"$BUILD_DIR/../not-run.txt"
  return 0
}

# check_summary NAME: prints the tally; its status is the test's result.
check_summary() {
  echo "$1: $((checks - failures)) passed, $failures failed, $not_run_rows not run"
  [ "$failures" -eq 0 ] || return 1
  [ "$not_run_rows" -eq 0 ] || exit 77
}

# winpath PATH: a Linux path as Wine's Z: drive names it.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
