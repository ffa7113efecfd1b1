#!/usr/bin/env bash
# End-to-end checks of dispersao-exato --fixos: the answer holds the fixed points (by the ids
# the reports show), is the best that does, and lists that cannot be followed are usage errors.
# Usage: exato_fixos.sh PATH/TO/dispersao-exato PATH/TO/examples/small
program=$1
small=$2
source "$(dirname "$0")/common.sh"

# Six named points; at p = 3 the best is A, D, F (10 apart). Ids are the 1-based data rows.
printf 'x,y,nome\n0,0,A\n1,0,B\n5,5,C\n10,0,D\n0,10,E\n10,10,F\n' >"$work/pontos.csv"

# Runs the program with the given arguments; output in $work/out, errors in $work/err.
run() {
    status=0
    "$program" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
}

expect_json() {
    if ! grep -q "$2" "$work/out"; then
        fail "$1: expected $2 in $(cat "$work/out")"
    fi
}

run --json -p 3 "$work/pontos.csv"
expect_json free '"valor":10,"otimo":true,.*"ids":\[1,4,6\]'
run --json -p 3 --fixos 1,2 "$work/pontos.csv"
expect_json "A and B fixed" '"valor":1,"otimo":true,.*"ids":\[1,2,'
run --json -p 3 --fixos 3 "$work/pontos.csv"
expect_json "C fixed" '"valor":7.0710678118654755,"otimo":true,.*"ids":\[[0-9,]*3[],]'
run --json -p 3 --fixos=6,1,4 "$work/pontos.csv"
expect_json "all fixed" '"valor":10,"otimo":true,.*"ids":\[1,4,6\]'

# The 12-city example: positions are the ids; with 7 fixed the free optimum 7, 11, 12 stays.
mkdir "$work/small"
cp "$small/numcidades.txt" "$small/MatrizDistanciasteste.txt" "$work/small/"
run --json -p 3 --fixos 7 "$work/small"
expect_json "small, 7 fixed" '"valor":65,"otimo":true,.*"ids":\[7,11,12\]'
run --json -p 3 --fixos 1 "$work/small"
expect_json "small, 1 fixed" '"otimo":true,.*"ids":\[1,'

for bad in "9" "1,1" "1,2,3,4" "a," "" "-1"; do
    run -p 3 --fixos "$bad" "$work/pontos.csv"
    if [ "$status" -ne 2 ] || ! grep -q -- '--fixos' "$work/err" || [ -s "$work/out" ]; then
        fail "--fixos '$bad': status $status, $(head -1 "$work/err")"
    fi
done
run -p 3 --fixos 13 "$work/small"
if [ "$status" -ne 2 ] || ! grep -q 'nao tem a posicao 13' "$work/err"; then
    fail "--fixos 13 on the small example: status $status"
fi

finish "dispersao-exato --fixos"
