#!/usr/bin/env bash
# Runs whole sessions of the program under valgrind memcheck, each in a fresh folder: a normal
# session, failed loads, malformed files and input that ends early. Fails when valgrind reports
# any error or any block definitely or indirectly lost, or when a session ends with another
# status than expected.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

command -v valgrind >/dev/null || { echo "memcheck: valgrind is missing (apt-get install valgrind)" >&2; exit 1; }

cmake --preset default >/dev/null
cmake --build --preset default --target dispersao dispersao-exato
binary="$root/build/default/dispersao"
exato="$root/build/default/dispersao-exato"

work="$(mktemp -d "${TMPDIR:-/tmp}/dispersao-memcheck-XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
sessions=0

# under_valgrind LABEL EXPECTED_STATUS DIR PROGRAM ARGS...
# Runs PROGRAM with ARGS in DIR under valgrind, standard input from DIR/input, and counts a
# failure when valgrind reports anything or the status is not EXPECTED_STATUS.
under_valgrind() {
    local label="$1" expected="$2" dir="$3"
    shift 3
    local status=0
    (cd "$dir" && valgrind --quiet --error-exitcode=99 --leak-check=full \
        --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
        --log-file="$dir/valgrind.log" "$@" <input >output 2>errors) || status=$?
    sessions=$((sessions + 1))
    if [[ "$status" != "$expected" || -s "$dir/valgrind.log" ]]; then
        echo "memcheck: $label ended with status $status (expected $expected)"
        cat "$dir/valgrind.log"
        failures=$((failures + 1))
    else
        echo "memcheck: $label: clean, status $status"
    fi
}

# session NAME INPUT EXPECTED_STATUS COUNT_TEXT|- DISTANCE_TEXT|-
# Writes the two instance files ("-" leaves one out, "@small" copies examples/small's) and runs
# one session with INPUT as standard input.
session() {
    local name="$1" input="$2" expected="$3" count="$4" distances="$5"
    local dir="$work/$name"
    mkdir -p "$dir"
    case "$count" in
        -) ;;
        @small) cp examples/small/numcidades.txt "$dir/" ;;
        *) printf '%b' "$count" >"$dir/numcidades.txt" ;;
    esac
    case "$distances" in
        -) ;;
        @small) cp examples/small/MatrizDistanciasteste.txt "$dir/" ;;
        *) printf '%b' "$distances" >"$dir/MatrizDistanciasteste.txt" ;;
    esac
    printf '%b' "$input" >"$dir/input"
    under_valgrind "session '$name'" "$expected" "$dir" "$binary"
}

session normal '1\n2\n2\n1\n2\n0\n' 0 @small @small
session count_file_missing '1\n2\n0\n' 0 - @small
session distance_file_missing '1\n' 1 @small -
session count_not_integer '1\n0\n' 0 'doze\n' @small
session count_too_small '1\n0\n' 0 '1\n' @small
session distances_not_integer '1\n2\n0\n' 0 @small '1 2 17\n1 3 x\n'
session position_out_of_range '1\n0\n' 0 @small '1 2 17\n1 13 5\n'
session incomplete_triple '1\n0\n' 0 @small '1 2 17\n1 3\n'
session reload_after_malformed '1\n1\n0\n' 0 @small '1 2 17\n99999999999 1 2\n'
session input_ends_at_once '' 0 @small @small
session input_ends_after_load '1\n2\n' 0 @small @small
session menu_garbage '7\n-1\nabc\n99999999999999999999999\n1x\n0\n' 0 @small @small

# exato NAME EXPECTED_STATUS FILE TEXT ARGS...
# Writes TEXT (printf escapes) into FILE of a fresh folder (FILE "@small": copies examples/small's
# instance files instead) and runs dispersao-exato with ARGS there.
exato() {
    local name="$1" expected="$2" file="$3" text="$4"
    shift 4
    local dir="$work/exato_$name"
    mkdir -p "$dir"
    if [[ "$file" == @small ]]; then
        cp examples/small/numcidades.txt examples/small/MatrizDistanciasteste.txt "$dir/"
    else
        printf '%b' "$text" >"$dir/$file"
    fi
    : >"$dir/input"
    under_valgrind "dispersao-exato '$name'" "$expected" "$dir" "$exato" "$@"
}

tsp='DIMENSION : 6\nEDGE_WEIGHT_TYPE : ATT\nNODE_COORD_SECTION\n1 0 0\n2 5 9\n3 9 1\n4 2 7\n5 8 8\n6 0 0\nEOF\n'
exato tsplib 0 p.tsp "$tsp" -p 4 p.tsp
exato csv_json 0 p.csv 'nome,lat,lon\n"A, a",10,20\nB,-30,40\nC,50,-60\nD,0,0\n' --json -p=3 p.csv
exato csv_malformed 1 p.csv 'x,y\n1,2\n"3,4\n' p.csv
exato tsplib_malformed 1 p.tsp 'DIMENSION : 2\nNODE_COORD_SECTION\n' p.tsp
exato folder 0 @small '' --json -p 4 .
exato bad_option 2 p.csv '' --limite-tempo x p.csv

echo "memcheck: $sessions sessions, $failures with problems"
[[ "$failures" == 0 ]]
