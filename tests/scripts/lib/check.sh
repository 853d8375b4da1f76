# Sourced by the script tests: a scratch folder $work removed on exit, and
# check NAME, which counts the status of the command just run as one case.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
check() {
  local status=$?
  checks=$((checks + 1))
  if [ $status -ne 0 ]; then failures=$((failures + 1)); echo "FAIL: $1"; fi
}

# check_summary NAME: prints the tally; its status is the test's result.
check_summary() {
  echo "$1: $((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}

# winpath PATH: a Linux path as Wine's Z: drive names it.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
