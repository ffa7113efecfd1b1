#!/usr/bin/env bash
# Times dispersao-exato against the straightforward dispersao-exato-base on the generated
# 4,000-city instance (8 million triples), whole runs, loading included.
# Usage: bench/time_exact.sh BUILD_DIR [RUNS]
set -euo pipefail
export LC_ALL=C
build=$(cd "$1" && pwd)
runs=${2:-5}
work="$build/square4000"
mkdir -p "$work"
cd "$work"
if [ ! -s MatrizDistanciasteste.txt ]; then
    "$build/bench/dispersao-qualidade" --tsplib 4000 3 >square4000.tsp
    "$build/dispersao-tsplib" square4000.tsp >/dev/null
fi
echo "square4000: $(wc -c <MatrizDistanciasteste.txt) bytes, $(wc -l <MatrizDistanciasteste.txt) triples"
for program in bench/dispersao-exato-base dispersao-exato; do
    times=()
    for _ in $(seq "$runs"); do
        start=$(date +%s.%N)
        "$build/$program" </dev/null >"$work/${program##*/}.out"
        stop=$(date +%s.%N)
        times+=("$(echo "$stop - $start" | bc)")
    done
    value=$(grep -a -o 'Menor dist.*= [-0-9]*' "$work/${program##*/}.out" | grep -o '[-0-9]*$')
    best=$(printf '%s\n' "${times[@]}" | sort -n | head -n 1)
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    printf '%-22s optimum %s  wall s: best %.3f  median %.3f  (%d runs)\n' \
        "${program##*/}" "$value" "$best" "$median" "$runs"
done
