#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole test
# suite, the end-to-end sessions included. Fails on a failing test or on any sanitizer report,
# including one from a child process whose exit status a test did not look at.
set -euo pipefail
cd "$(dirname "$0")/.."

# The test preset sends every report here, one file per reporting process.
reports=build/sanitize/reports
rm -rf "$reports"
mkdir -p "$reports"

status=0
cmake --workflow --preset sanitize || status=$?

if compgen -G "$reports/*" >/dev/null; then
    echo "sanitize: sanitizer reports:" >&2
    for report in "$reports"/*; do
        echo "---- $report" >&2
        cat "$report" >&2
    done
    exit 1
fi
exit "$status"
