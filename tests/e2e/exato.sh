#!/usr/bin/env bash
# End-to-end checks of dispersao-exato: output bytes (apart from the time) and exit status.
# Usage: exato.sh PATH/TO/dispersao-exato PATH/TO/examples/small
program=$1
small=$2
source "$(dirname "$0")/common.sh"

# Runs the program in directory $1 with no input; leaves output in $work/out, status in $status.
run_in() {
    status=0
    (cd "$1" && "$program" </dev/null >"$work/out") || status=$?
}

# Compares $work/out without its time line to the bytes given by printf format $2; $1 names it.
expect_output() {
    local expected
    expected=$(mktemp -p "$work")
    printf "$2" >"$expected"
    if ! grep -av '^Tempo de CPU = ' "$work/out" | cmp -s - "$expected"; then
        fail "$1: output differs"; od -c "$work/out" | head -20
    fi
}

expect_status() {
    if [ "$status" -ne "$2" ]; then
        fail "$1: status $status, expected $2"
    fi
}

# The 12-city example: optimum 65 at cities 7, 11 and 12.
mkdir "$work/small"
cp "$small/numcidades.txt" "$small/MatrizDistanciasteste.txt" "$work/small/"
run_in "$work/small"
expect_status small 0
expect_output small '\nSolucao otima (busca exata):\n0 0 0 0 0 0 0 1 0 0 0 1 1 \nMenor dist\342ncia = 65.000000 \n'
if ! tail -n 1 "$work/out" | grep -Eq '^Tempo de CPU = [0-9]+\.[0-9]{6} segundos$'; then
    fail "small: time line"
fi
if [ "$(grep -c '^Tempo de CPU' "$work/out")" -ne 1 ]; then
    fail "small: one time line expected"
fi

# Every pair equal and negative: the first three cities, value -4.
mkdir "$work/negative"
printf '3\n' >"$work/negative/numcidades.txt"
printf '0 1 -4\n0 2 -4\n0 3 -4\n1 2 -4\n1 3 -4\n2 3 -4\n' >"$work/negative/MatrizDistanciasteste.txt"
run_in "$work/negative"
expect_status negative 0
expect_output negative '\nSolucao otima (busca exata):\n1 1 1 0 \nMenor dist\342ncia = -4.000000 \n'

# No files at all: the count reader's message, nothing else.
mkdir "$work/empty"
run_in "$work/empty"
expect_status empty 1
expect_output empty 'O arquivo numcidades.txt nao pode ser aberto. \n'

# A count but no distance file: fatal, as in the menu program.
mkdir "$work/nodistances"
printf '5\n' >"$work/nodistances/numcidades.txt"
run_in "$work/nodistances"
expect_status nodistances 1
expect_output nodistances 'O Arquivo MatrizDistanciasteste.txt nao pode ser aberto.\n'

# A malformed distance file names its line and token.
mkdir "$work/malformed"
printf '3\n' >"$work/malformed/numcidades.txt"
printf '1 2 10\n1 3 x\n' >"$work/malformed/MatrizDistanciasteste.txt"
run_in "$work/malformed"
expect_status malformed 1
expect_output malformed 'Erro no arquivo MatrizDistanciasteste.txt, linha 2: "x" nao e um numero inteiro.\n'

# Too few cities.
mkdir "$work/tiny"
printf '1\n' >"$work/tiny/numcidades.txt"
: >"$work/tiny/MatrizDistanciasteste.txt"
run_in "$work/tiny"
expect_status tiny 1
expect_output tiny 'O arquivo numcidades.txt indica 1 cidades; sao necessarias pelo menos 2.\n'

# Output that cannot be written: a message on the error stream and status 1.
for redirection in full closed; do
    status=0
    if [ "$redirection" = full ]; then
        (cd "$work/small" && "$program" </dev/null >/dev/full 2>"$work/err") || status=$?
    else
        (cd "$work/small" && "$program" </dev/null >&- 2>"$work/err") || status=$?
    fi
    expect_status "$redirection output" 1
    if ! grep -qx 'Erro ao escrever na saida padrao.' "$work/err"; then
        fail "$redirection output: message"
    fi
done

# The world example names its cities: the plain report adds a line with them, the JSON object
# a "nomes" array, and the map of its point file renders with ink on it.
world=$small/../world
mkdir "$work/world"
cp "$world/numcidades.txt" "$world/MatrizDistanciasteste.txt" "$world/nomes.txt" "$work/world/"
run_in "$work/world"
expect_status world 0
grep -qx 'Cidades escolhidas: 12 Vostok, 181 Mexico City, 267 Dushanbe' "$work/out" ||
    fail "world: names line"
"$program" --json -p 2 "$work/world" | grep -q '"nomes":\["' || fail "world: JSON names"
status=0
"$program" --svg "$work/world.svg" "$world/cidades.csv" >/dev/null || status=$?
[ "$status" -eq 0 ] || fail "map: status $status"
map_status=0
bash "$(dirname "$0")/render_map.sh" "$work/world.svg" 2000 >/dev/null || map_status=$?
[ "$map_status" -eq 0 ] || [ "$map_status" -eq 77 ] || fail "map: blank or unreadable picture"
status=0
"$program" --svg "$work/no.svg" "$work/world" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] && [ ! -e "$work/no.svg" ] || fail "map of a menu instance: status $status"

# Help and version by the shared convention; a missing count file reads nothing from the user.
"$program" --help | grep -q '^Exemplos:' || fail "help"
"$program" --version | grep -Eq '^dispersao-exato [0-9]' || fail "version"
status=0
(cd "$work/empty" && sleep 5 | timeout 3 "$program" >/dev/null) || status=$?
[ "$status" -eq 1 ] || fail "missing count file: status $status (124: it waited for input)"

finish dispersao-exato
