#!/usr/bin/env bash
# Installs the programs and the library into a temporary prefix, runs each installed program
# once on the installed examples, builds the C++ example against the installed CMake package
# and runs it, then builds the Debian package and checks what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

root=$(pwd)
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
make --no-print-directory install PREFIX="$prefix"

fail() { echo "install-check: $*" >&2; exit 1; }
docs=$prefix/share/doc/dispersao
[ -f "$docs/README.md" ] || fail "README.md not installed"
[ -f "$docs/examples/small/numcidades.txt" ] || fail "examples not installed"
[ -f "$docs/docs/dispersao-exato.md" ] || fail "docs/ not installed"

cp "$docs/examples/small/numcidades.txt" "$docs/examples/small/MatrizDistanciasteste.txt" "$work/"
(cd "$work" && printf '0\n' | "$prefix/bin/dispersao" >out) || fail "dispersao failed"
grep -q 'Menu Principal' "$work/out" || fail "dispersao printed no menu"
(cd "$work" && "$prefix/bin/dispersao-exato" </dev/null >out) || fail "dispersao-exato failed"
grep -q '65.000000' "$work/out" || fail "dispersao-exato did not find the optimum 65"
mkdir "$work/berlin52"
(cd "$work/berlin52" && "$prefix/bin/dispersao-tsplib" "$root/bench/data/berlin52.tsp") ||
    fail "dispersao-tsplib failed"
[ -s "$work/berlin52/MatrizDistanciasteste.txt" ] || fail "dispersao-tsplib wrote nothing"
"$prefix/bin/dispersao-gerar" --semente 3 20 "$work" >/dev/null || fail "dispersao-gerar failed"
[ "$(cat "$work/numcidades.txt")" = 20 ] || fail "dispersao-gerar wrote no instance"
echo "install-check: installed programs ran"

# The library: public headers only, and a project of its own that finds and links it.
[ -f "$prefix/include/dispersao/dispersao.hpp" ] || fail "the public header is not installed"
stray=$(find "$prefix/include" -type f ! -path "$prefix/include/dispersao/*")
[ -z "$stray" ] || fail "internal headers installed: $stray"
cmake -S examples/cpp -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 ||
    { cat "$work/consumer.log" >&2; fail "the C++ example does not configure against $prefix"; }
cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1 ||
    { cat "$work/consumer.log" >&2; fail "the C++ example does not build against $prefix"; }
"$work/consumer/spread_cities" examples/world/cidades.csv 5 >"$work/out" ||
    fail "the C++ example failed"
[ "$(grep -c . "$work/out")" = 6 ] && grep -q 'proven optimal' "$work/out" ||
    { cat "$work/out" >&2; fail "the C++ example printed no proven answer"; }
echo "install-check: a project of its own built and ran against the installed library"

make --no-print-directory package >/dev/null
deb=$(ls build/default/dispersao_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/dispersao usr/bin/dispersao-exato usr/bin/dispersao-tsplib usr/bin/dispersao-gerar \
    usr/share/doc/dispersao/README.md usr/share/doc/dispersao/docs/dispersao-exato.md \
    usr/include/dispersao/dispersao.hpp; do
    grep -q "\./$file\$" <<<"$contents" || fail "$deb lacks $file"
done
grep -q '/libdispersao\.a$' <<<"$contents" || fail "$deb lacks libdispersao.a"
grep -q '/cmake/dispersao/dispersaoConfig\.cmake$' <<<"$contents" || fail "$deb lacks the CMake package"
echo "install-check: $deb holds the programs, the library and their documentation"
