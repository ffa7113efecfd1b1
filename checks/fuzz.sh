#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for FUZZ_SECONDS (default 60) from its seed corpus
# in tests/fuzz/<target>/; the two text readers run once on the scanner path this processor
# picks and once more on the portable path, and fuzz_scan_paths compares the paths directly. Any crash, hang, leak or failed check stops the run with status 1 and
# leaves the input that caused it in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
command -v clang++-14 >/dev/null || { echo "fuzz: clang++-14 is missing (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 1; }

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_distance fuzz_count fuzz_menu fuzz_scan_paths fuzz_points fuzz_matrix

# Largest input per target: the readers keep a 4096-byte window for one token, so the text
# readers are fed inputs well beyond it.
declare -A max_len=([fuzz_distance]=12000 [fuzz_count]=9000 [fuzz_menu]=4096 [fuzz_scan_paths]=20000 [fuzz_points]=8192 [fuzz_matrix]=8192)

mkdir -p build/fuzz/artifacts
for run in fuzz_distance fuzz_distance:portable fuzz_count fuzz_count:portable fuzz_menu \
    fuzz_scan_paths fuzz_points fuzz_matrix; do
    target=${run%%:*}
    path=${run#"$target"}
    path=${path#:}
    corpus="build/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target${path:+ on the $path path}: ${seconds}s"
    # New inputs go to the working corpus under build/; the committed seeds are only read.
    DISPERSAO_SCANNER=${path:-${DISPERSAO_SCANNER:-}} "build/fuzz/fuzz/$target" "$corpus" "tests/fuzz/$target" \
        -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10 \
        -rss_limit_mb=2048 -use_value_profile=1 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target-" 2>"build/fuzz/$target.log" || {
        tail -n 60 "build/fuzz/$target.log"
        echo "fuzz: $target failed; the input is in build/fuzz/artifacts/" >&2
        exit 1
    }
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
        "build/fuzz/$target.log" || true
    echo "   corpus: $(ls "$corpus" | wc -l) inputs"
done
