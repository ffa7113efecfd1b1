#!/usr/bin/env bash
# Checks every tracked C++ source and header: clang-format must leave it unchanged, and
# clang-tidy (configured by .clang-tidy) must find nothing. Files come from `git ls-files`, so
# new folders are covered as soon as they are committed or added.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in clang-format-14 clang-tidy-14; do
    command -v "$tool" >/dev/null || { echo "lint: $tool is missing (apt-get install ${tool%-14}-14)" >&2; exit 1; }
done

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.hpp')
echo "lint: ${#files[@]} files"

echo "lint: clang-format"
clang-format-14 --dry-run --Werror "${files[@]}"

# The clang configuration of every target, fuzz targets included, gives clang-tidy its
# compile commands; headers borrow those of a source file next to them.
echo "lint: clang-tidy"
cmake --preset lint >/dev/null
log=build/lint/clang-tidy.log
status=0
printf '%s\n' "${files[@]}" |
    xargs -P 2 -n 4 clang-tidy-14 -p build/lint --quiet >"$log" 2>&1 || status=$?
if [[ "$status" != 0 ]]; then
    grep -E -A3 '(warning|error):' "$log" >&2 || cat "$log" >&2
    echo "lint: clang-tidy found problems" >&2
    exit 1
fi
echo "lint: clean"
