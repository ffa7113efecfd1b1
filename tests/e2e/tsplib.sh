#!/usr/bin/env bash
# End-to-end checks of dispersao-tsplib: files written on success, none on failure.
# Usage: tsplib.sh PATH/TO/dispersao-tsplib PATH/TO/berlin52.tsp
program=$1
berlin=$2
source "$(dirname "$0")/common.sh"

# Runs the converter in $work/$1 (created empty) on $2; status in $status, messages in $work/err.
convert_in() {
    rm -rf "${work:?}/$1"
    mkdir "$work/$1"
    status=0
    (cd "$work/$1" && "$program" "$2" >"$work/out" 2>"$work/err") || status=$?
}

convert_in good "$berlin"
[ "$status" -eq 0 ] || fail "good: status $status"
[ "$(cat "$work/good/numcidades.txt")" = 52 ] || fail "good: count"
[ "$(wc -l <"$work/good/MatrizDistanciasteste.txt")" -eq 1326 ] || fail "good: 52 x 51 / 2 lines"
head -n 1 "$work/good/MatrizDistanciasteste.txt" | grep -Eq '^1 2 [0-9]+$' || fail "good: first triple"
tail -n 1 "$work/good/MatrizDistanciasteste.txt" | grep -Eq '^51 52 [0-9]+$' || fail "good: last triple"
# The largest distance of the instance is scaled to 110, and no other exceeds it.
[ "$(awk '$3 > m { m = $3 } END { print m }' "$work/good/MatrizDistanciasteste.txt")" = 110 ] ||
    fail "good: largest distance"
[ "$(ls "$work/good" | wc -l)" -eq 2 ] || fail "good: exactly two files"
grep -q '^52 cidades gravadas' "$work/out" || fail "good: report"

# Bad files: a message on the error stream naming the file, status 1, and no file written.
printf 'NAME: x\nDIMENSION: 3\nEDGE_WEIGHT_TYPE: EXPLICIT\nNODE_COORD_SECTION\n1 0 0\n' >"$work/explicit.tsp"
printf 'DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 1 1\n' >"$work/short.tsp"
printf 'DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 0 0\n3 0 0\n' >"$work/same.tsp"
: >"$work/empty.tsp"
for bad in explicit short same empty missing; do
    convert_in "$bad" "$work/$bad.tsp"
    [ "$status" -eq 1 ] || fail "$bad: status $status"
    grep -q "$bad.tsp" "$work/err" || fail "$bad: message does not name the file"
    [ -z "$(ls -A "$work/$bad")" ] || fail "$bad: files left behind: $(ls -A "$work/$bad")"
done
# A folder made for the output goes again when the file is refused; one that was there stays.
status=0
"$program" --pasta "$work/novo/fundo" "$work/same.tsp" >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] && [ ! -e "$work/novo" ] || fail "new folder left behind: status $status"
mkdir -p "$work/velho"
"$program" --pasta "$work/velho/fundo" "$work/same.tsp" >/dev/null 2>&1 || true
[ -d "$work/velho" ] && [ ! -e "$work/velho/fundo" ] || fail "folder that was there: removed"
grep -q 'linha 3: EDGE_WEIGHT_TYPE "EXPLICIT"' <(convert_in explicit "$work/explicit.tsp"; cat "$work/err") ||
    fail "explicit: line and type"

# Points with names (a CSV file) also give nomes.txt, city k on line k; a later conversion
# without names in the same folder takes that file away, as it would name other cities.
printf 'nome,lat,lon\nLisboa,38.72,-9.14\n"Porto, Norte",41.15,-8.61\nFaro,37.02,-7.93\n' \
    >"$work/cities.csv"
convert_in named "$work/cities.csv"
[ "$status" -eq 0 ] || fail "csv: status $status $(cat "$work/err")"
[ "$(cat "$work/named/nomes.txt")" = "$(printf 'Lisboa\nPorto, Norte\nFaro')" ] || fail "csv: names"
[ "$(awk '$3 == 110' "$work/named/MatrizDistanciasteste.txt" | wc -l)" -eq 1 ] || fail "csv: scale"
(cd "$work/named" && "$program" "$berlin" >/dev/null) || fail "csv then tsp: status"
[ ! -e "$work/named/nomes.txt" ] || fail "csv then tsp: stale names left"
printf 'DIMENSION: 3\nEDGE_WEIGHT_TYPE: GEO\nNODE_COORD_SECTION\n1 38.43 -9.08\n2 41.09 -8.37\n3 37.01 -7.56\n' \
    >"$work/geo.tsp"
convert_in geo "$work/geo.tsp"
[ "$status" -eq 0 ] && [ "$(cat "$work/geo/numcidades.txt")" = 3 ] || fail "geo: status $status"

# A failed conversion leaves the files of an earlier one untouched.
mkdir -p "$work/keep"
printf '4\n' >"$work/keep/numcidades.txt"
printf '1 2 3\n' >"$work/keep/MatrizDistanciasteste.txt"
status=0
(cd "$work/keep" && "$program" "$work/short.tsp" 2>/dev/null) || status=$?
[ "$status" -eq 1 ] || fail "keep: status"
[ "$(cat "$work/keep/numcidades.txt")" = 4 ] && [ "$(cat "$work/keep/MatrizDistanciasteste.txt")" = "1 2 3" ] ||
    fail "keep: earlier files changed"
[ "$(ls -A "$work/keep" | wc -l)" -eq 2 ] || fail "keep: extra files"

# A folder given as the file is unreadable, not a file without sections.
convert_in folder "$work/keep"
[ "$status" -eq 1 ] || fail "folder: status $status"
grep -qx "Erro ao ler o arquivo $work/keep." "$work/err" || fail "folder: $(cat "$work/err")"

# Output that cannot be written is an error, though the files were converted.
for redirection in full closed; do
    rm -rf "${work:?}/$redirection"
    mkdir "$work/$redirection"
    status=0
    if [ "$redirection" = full ]; then
        (cd "$work/$redirection" && "$program" "$berlin" >/dev/full 2>"$work/err") || status=$?
    else
        (cd "$work/$redirection" && "$program" "$berlin" >&- 2>"$work/err") || status=$?
    fi
    [ "$status" -eq 1 ] || fail "$redirection output: status $status"
    grep -qx 'Erro ao escrever na saida padrao.' "$work/err" || fail "$redirection output: message"
done

# An interrupt during a long conversion removes the partial file and ends as the signal does;
# the earlier files stay. 6,000 cities make 18 million triples, far more than get written.
awk 'BEGIN { srand(3); print "DIMENSION: 6000"; print "EDGE_WEIGHT_TYPE: EUC_2D";
             print "NODE_COORD_SECTION"; for (i = 1; i <= 6000; i++) print i, rand() * 1000, rand() * 1000 }' \
    >"$work/long.tsp"
for signal in INT TERM; do
    rm -rf "${work:?}/signal"
    mkdir "$work/signal"
    printf '4\n' >"$work/signal/numcidades.txt"
    printf '1 2 3\n' >"$work/signal/MatrizDistanciasteste.txt"
    (cd "$work/signal" && exec "$program" "$work/long.tsp" >/dev/null 2>&1) &
    pid=$!
    while [ ! -s "$work/signal/MatrizDistanciasteste.txt.parcial" ] && kill -0 "$pid" 2>/dev/null; do
        sleep 0.001
    done
    kill -s "$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: status $status"
    [ "$(ls -A "$work/signal" | tr '\n' ' ')" = "MatrizDistanciasteste.txt numcidades.txt " ] ||
        fail "SIG$signal: left $(ls -A "$work/signal")"
    [ "$(cat "$work/signal/MatrizDistanciasteste.txt")" = "1 2 3" ] || fail "SIG$signal: earlier file"
done

# Wrong usage.
status=0
"$program" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "usage: status $status"

# --pasta writes into the folder named; help and version end with status 0, an unknown option
# with the usage and status 2.
mkdir "$work/elsewhere"
"$program" --pasta "$work/elsewhere" "$berlin" >/dev/null || fail "--pasta: status $?"
[ "$(cat "$work/elsewhere/numcidades.txt" 2>/dev/null)" = 52 ] || fail "--pasta: count"
"$program" --help | grep -q '^Exemplo:' || fail "--help"
"$program" --version | grep -Eq '^dispersao-tsplib [0-9]' || fail "--version"
status=0
"$program" --cor "$berlin" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && grep -q '^Uso: dispersao-tsplib' "$work/err" || fail "unknown option"

finish dispersao-tsplib
