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
# A small square keeps its points apart: more decimals, not copies of a few places.
"$program" --pontos uniforme --lado 0.01 1000 "$work/pequeno.csv" >/dev/null || fail "small side: status"
[ "$(tail -n +2 "$work/pequeno.csv" | sort -u | wc -l)" -eq 1000 ] || fail "small side: points merged"

status=0
"$program" --help >"$work/out" || status=$?
[ "$status" -eq 0 ] && grep -q '^Exemplos:' "$work/out" || fail "help"
[ "$("$program" --version)" = "dispersao-gerar $("$program" --version | cut -d' ' -f2)" ] ||
    fail "version"
for arguments in "1 $work/c" "--lado 0 5 $work/c" "--lado 3e9 5 $work/c" "--pontos uniforme --lado 1e-9 5 $work/c.csv" "--pontos redondo 5 $work/c.csv" "--cor 5 $work/c" "5"; do
    status=0
    # shellcheck disable=SC2086
    "$program" $arguments >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "usage ($arguments): status $status"
    [ "$(grep -c '^Uso:' "$work/err")" -eq 1 ] || fail "usage ($arguments): no usage"
done
# The largest side a menu instance takes keeps every distance within 32 bits, as its readers
# need.
"$program" --lado 1.5e9 40 "$work/grande" >/dev/null || fail "largest menu side: status"
awk '$3 > 2147483647 { bad = 1 } END { exit bad }' "$work/grande/MatrizDistanciasteste.txt" ||
    fail "largest menu side: a distance past 32 bits"
# Missing folders are created, as mkdir -p would; an earlier nomes.txt, which would name the
# random cities, goes.
"$program" 5 "$work/missing/deeper" >/dev/null 2>"$work/err" || fail "missing folder: status $?"
[ "$(cat "$work/missing/deeper/numcidades.txt" 2>/dev/null)" = 5 ] || fail "missing folder: count"
printf 'Lisboa\nPorto\n' >"$work/missing/deeper/nomes.txt"
"$program" 6 "$work/missing/deeper" >/dev/null 2>&1 || fail "stale names: status $?"
[ ! -e "$work/missing/deeper/nomes.txt" ] || fail "stale names: nomes.txt left"
"$program" --pontos uniforme 4 "$work/new/points.csv" >/dev/null || fail "missing folder for points"
[ "$(wc -l <"$work/new/points.csv")" -eq 5 ] || fail "missing folder for points: lines"

# A place that is not a regular file is refused, left as it was, with a message that names it;
# so is a folder given where a folder cannot be made.
mkfifo "$work/fifo"
mkdir "$work/folder.csv"
printf 'x' >"$work/plain"
for target in fifo folder.csv plain/sub; do
    status=0
    "$program" --pontos uniforme 4 "$work/$target" >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 1 ] || fail "$target: status $status"
    grep -q "^dispersao-gerar: .*${target%%/*}" "$work/err" || fail "$target: message $(cat "$work/err")"
done
[ -p "$work/fifo" ] && [ -d "$work/folder.csv" ] && [ "$(cat "$work/plain")" = x ] ||
    fail "non-regular targets changed"
[ -z "$(ls "$work" | grep parcial)" ] || fail "temporary files left"
status=0
"$program" 5 "$work/fifo" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && [ -p "$work/fifo" ] || fail "fifo as folder: status $status"
mkfifo "$work/missing/deeper/numcidades.txt.fifo"
rm "$work/missing/deeper/numcidades.txt"
mv "$work/missing/deeper/numcidades.txt.fifo" "$work/missing/deeper/numcidades.txt"
status=0
"$program" 5 "$work/missing/deeper" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && [ -p "$work/missing/deeper/numcidades.txt" ] ||
    fail "fifo in the folder: status $status"
grep -q 'nao e um arquivo comum (e um FIFO)' "$work/err" || fail "fifo in the folder: message"
# A character device, where this machine lets the test make one in its own folder.
if mknod "$work/device" c 1 3 2>/dev/null; then
    status=0
    "$program" --pontos uniforme 4 "$work/device" >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 1 ] && [ -c "$work/device" ] || fail "device: status $status"
    grep -q 'dispositivo de caracteres' "$work/err" || fail "device: message"
fi

finish dispersao-gerar
