#!/usr/bin/env bash
# End-to-end checks of dispersao-gerar: the same seed gives the same files, point files have
# their header and their points, and a command line or a folder it cannot use leaves nothing.
# Usage: gerar.sh PATH/TO/dispersao-gerar
program=$1
source "$(dirname "$0")/common.sh"

mkdir "$work/a" "$work/b"
"$program" --semente 5 30 "$work/a" >"$work/out" || fail "menu instance: status $?"
"$program" --semente=5 30 "$work/b" >/dev/null || fail "menu instance again: status $?"
cmp -s "$work/a/MatrizDistanciasteste.txt" "$work/b/MatrizDistanciasteste.txt" ||
    fail "same seed, different distances"
[ "$(cat "$work/a/numcidades.txt")" = 30 ] || fail "count"
[ "$(wc -l <"$work/a/MatrizDistanciasteste.txt")" -eq 435 ] || fail "30 x 29 / 2 triples"
grep -q '^30 cidades, 435 triplas' "$work/out" || fail "report"

for kind in uniforme agrupado; do
    "$program" --pontos "$kind" --lado 10 1000 "$work/$kind.csv" >/dev/null || fail "$kind: status"
    [ "$(head -n 1 "$work/$kind.csv")" = x,y ] || fail "$kind: header"
    [ "$(wc -l <"$work/$kind.csv")" -eq 1001 ] || fail "$kind: 1000 points"
done
awk -F, 'NR > 1 && ($1 < 0 || $1 >= 10 || $2 < 0 || $2 >= 10) { bad = 1 } END { exit bad }' \
    "$work/uniforme.csv" || fail "uniforme: a point outside the square"

status=0
"$program" --help >"$work/out" || status=$?
[ "$status" -eq 0 ] && grep -q '^Exemplos:' "$work/out" || fail "help"
[ "$("$program" --version)" = "dispersao-gerar $("$program" --version | cut -d' ' -f2)" ] ||
    fail "version"
for arguments in "1 $work/c" "--lado 0 5 $work/c" "--pontos redondo 5 $work/c.csv" "--cor 5 $work/c" "5"; do
    status=0
    # shellcheck disable=SC2086
    "$program" $arguments >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "usage ($arguments): status $status"
    [ "$(grep -c '^Uso:' "$work/err")" -eq 1 ] || fail "usage ($arguments): no usage"
done
status=0
"$program" 5 "$work/missing" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "missing folder: status $status"
[ ! -e "$work/missing" ] || fail "missing folder: something was written"

finish dispersao-gerar
