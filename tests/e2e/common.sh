# Start of every end-to-end script, sourced after it has taken its arguments: strict mode, the
# C locale, a scratch folder $work removed on exit, and the failure count that fail() raises and
# finish() reports and exits with.
set -euo pipefail
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL $1"; failures=$((failures + 1)); }

finish() {
    [ "$failures" -eq 0 ] && echo "all $1 checks passed"
    exit "$failures"
}
