#!/usr/bin/env bash
# End-to-end checks of the point inputs as people export them and of every output file: each
# input form gives the canonical CSV's answer; outputs land in missing folders, never replace
# what is not a regular file, and escape names properly.
# Usage: inputs_outputs.sh PATH/TO/dispersao-exato PATH/TO/dispersao-tsplib PATH/TO/dispersao-gerar
exato=$1
tsplib=$2
gerar=$3
source "$(dirname "$0")/common.sh"
cd "$work"

# The canonical file and the answer every other form must give.
cat >canon.csv <<'CSV'
nome,lat,lon,id
Sao Paulo,-23.55,-46.63,S-1063
Rio de Janeiro,-22.91,-43.17,S-1966
Belo Horizonte,-19.92,-43.94,S-2001
Manaus,-3.12,-60.02,S-3000
Recife,-8.05,-34.88,S-4000
Porto Alegre,-30.03,-51.23,S-5000
Brasilia,-15.79,-47.88,S-6000
CSV
answer() { "$exato" -p 4 --json "$@" | sed 's/,"segundos":[0-9.]*//'; }
expected=$(answer canon.csv)
case "$expected" in
*'"ids":[4,5,6,7]'*'"codigos":["S-3000","S-4000","S-5000","S-6000"]'*) ;;
*) fail "canonical answer: $expected" ;;
esac

# A Portuguese spreadsheet: semicolons, decimal commas, accented header names, Latin-1, CRLF.
printf 'Nome;Latitude;Longitude;C\xf3digo\r\n' >latin1.csv
tail -n +2 canon.csv | awk -F, '{ gsub(/\./, ",", $2); gsub(/\./, ",", $3); printf "%s;%s;%s;%s\r\n", $1, $2, $3, $4 }' >>latin1.csv
# Tabs with other column names, GeoJSON, and a name that tells nothing.
{ printf 'NAME\tLng\tLatitude\tcodigo\n'; tail -n +2 canon.csv | awk -F, '{ printf "%s\t%s\t%s\t%s\n", $1, $3, $2, $4 }'; } >tabs.tsv
{ printf '{"type":"FeatureCollection","features":['
  tail -n +2 canon.csv | awk -F, '{ printf "%s{\"type\":\"Feature\",\"id\":\"%s\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[%s,%s]},\"properties\":{\"name\":\"%s\"}}", (NR > 1 ? "," : ""), $4, $3, $2, $1 }'
  printf ']}\n'; } >pontos.geojson
cp canon.csv sem-extensao
for form in latin1.csv tabs.tsv pontos.geojson sem-extensao; do
    got=$(answer "$form" 2>&1) || fail "$form: status"
    [ "$got" = "$expected" ] || fail "$form: $got"
done
for form in canon.csv pontos.geojson; do
    got=$(answer - <"$form" 2>&1) || fail "standard input ($form): status"
    [ "$got" = "$expected" ] || fail "standard input ($form): $got"
done
"$tsplib" --pasta convertido - <pontos.geojson >/dev/null || fail "converter from standard input"
[ "$(cat convertido/numcidades.txt 2>/dev/null)" = 7 ] || fail "converter: count"
[ "$(sed -n 4p convertido/nomes.txt 2>/dev/null)" = Manaus ] || fail "converter: names"

# Messages that name the real problem.
printf 'lat,lon\n-23,55,-46,63\n' >comma.csv
"$exato" comma.csv 2>err >/dev/null && fail "decimal comma with commas: status 0"
grep -q 'virgula decimal pedem colunas separadas por ponto e virgula' err || fail "comma: $(cat err)"
printf 'Nome;Latitude\nA;1\n' >missing.csv
"$exato" missing.csv 2>err >/dev/null && fail "missing column: status 0"
grep -q 'falta a coluna lon, lng, long ou longitude' err || fail "missing column: $(cat err)"

# Points whose distance overflows a double, each coordinate finite: refused, not a proof of
# an infinite value.
printf 'x,y\n-1.7e308,0\n1.7e308,0\n0,0\n' >longe.csv
status=0
"$exato" -p 2 --json longe.csv >out 2>err || status=$?
[ "$status" -eq 1 ] && [ ! -s out ] || fail "overflowing spread: status $status, $(cat out)"
grep -q '^Erro no arquivo longe.csv: os pontos se afastam demais' err || fail "overflowing spread: $(cat err)"

# Every output file in a folder that does not exist yet, each with what it should hold.
"$exato" -p 4 --svg novo/a/mapa.svg --geojson novo/b/escolhidos.geojson \
    --csv novo/c/escolhidos.csv latin1.csv >/dev/null || fail "outputs: status"
# The rows as the input wrote them, bytes and all; the lines end in a plain newline.
cmp -s <(head -n 1 latin1.csv | tr -d '\r'; sed -n '5,8p' latin1.csv | tr -d '\r') novo/c/escolhidos.csv ||
    fail "csv output: rows not as the input had them"
/usr/bin/python3 - novo/b/escolhidos.geojson <<'PY' || fail "geojson output"
import json, sys
collection = json.load(open(sys.argv[1], encoding="utf-8"))
features = collection["features"]
assert collection["type"] == "FeatureCollection" and len(features) == 4
assert [f["id"] for f in features] == ["S-3000", "S-4000", "S-5000", "S-6000"]
assert features[0]["geometry"]["coordinates"] == [-60.02, -3.12]
assert features[0]["properties"]["C\u00f3digo"] == "S-3000"
assert features[0]["properties"]["dispersao"]["linha"] == 4
values = {f["properties"]["dispersao"]["valor"] for f in features}
nearest = [f["properties"]["dispersao"]["distancia_vizinho"] for f in features]
assert len(values) == 1 and min(nearest) == values.pop()
PY
grep -q '<title\|font-weight="bold">mapa\|latin1.csv - p = 4' novo/a/mapa.svg || fail "svg title"

# Names that need escaping, from GeoJSON into CSV and back into GeoJSON.
cat >esc.geojson <<'JSON'
{"type":"FeatureCollection","features":[
{"type":"Feature","geometry":{"type":"Point","coordinates":[0,0]},"properties":{"nome":"a \"b\", c\nd","id":"1;2"}},
{"type":"Feature","geometry":{"type":"Point","coordinates":[90,0]},"properties":{"nome":"tab\there"}},
{"type":"Feature","geometry":{"type":"Point","coordinates":[0,60]},"properties":{"nome":"<&>"}}]}
JSON
"$exato" -p 3 --csv esc.csv --geojson esc.out.geojson --svg esc.svg esc.geojson >/dev/null || fail "escaping: status"
/usr/bin/python3 - esc.csv esc.out.geojson <<'PY' || fail "escaping: files do not read back"
import csv, json, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="", encoding="utf-8")))
assert [r["nome"] for r in rows] == ['a "b", c\nd', "tab\there", "<&>"], rows
assert rows[0]["codigo"] == "1;2"
names = [f["properties"]["nome"] for f in json.load(open(sys.argv[2]))["features"]]
assert names == ['a "b", c\nd', "tab\there", "<&>"], names
PY
/usr/bin/python3 -c 'import sys, xml.dom.minidom as m; m.parse(sys.argv[1])' esc.svg || fail "svg not well-formed"

# Places that are not regular files are refused before the search and left untouched; so is
# a folder that cannot be made. Checked for every output option of every program.
mkfifo fifo
mkdir pasta.svg
ln -s fifo link-to-fifo
printf 'x' >arquivo
targets="fifo pasta.svg link-to-fifo arquivo/sub.svg"
if mknod device c 1 3 2>/dev/null; then targets="$targets device"; fi
for target in $targets; do
    for option in --svg --geojson --csv; do
        status=0
        "$exato" -p 4 "$option" "$target" canon.csv >out 2>err || status=$?
        [ "$status" -eq 1 ] || fail "$option $target: status $status"
        [ ! -s out ] || fail "$option $target: searched anyway"
        grep -q "^dispersao-exato: .*${target%%/*}" err || fail "$option $target: $(cat err)"
    done
    status=0
    "$gerar" --pontos uniforme 5 "$target" >/dev/null 2>err || status=$?
    [ "$status" -eq 1 ] || fail "gerar $target: status $status"
done
[ -p fifo ] && [ -d pasta.svg ] && [ -L link-to-fifo ] && [ "$(cat arquivo)" = x ] ||
    fail "refused targets changed"
if [ -e device ]; then [ -c device ] || fail "device replaced"; fi
mkdir keep
mkfifo keep/numcidades.txt
status=0
"$tsplib" --pasta keep canon.csv >/dev/null 2>err || status=$?
[ "$status" -eq 1 ] && [ -p keep/numcidades.txt ] || fail "converter over a FIFO: status $status"
grep -q '^dispersao-tsplib: .*keep/numcidades.txt nao e um arquivo comum (e um FIFO)' err ||
    fail "converter over a FIFO: $(cat err)"
[ "$(ls keep)" = numcidades.txt ] || fail "converter over a FIFO: files left $(ls keep)"
"$tsplib" --pasta fundo/mais/fundo canon.csv >/dev/null || fail "converter: missing folders"
[ "$(cat fundo/mais/fundo/numcidades.txt)" = 7 ] || fail "converter: missing folders count"

# Outputs that are one file, however spelled, are refused before the search: with each other,
# and with the input, which would be lost.
cp canon.csv entrada.csv
for args in "--csv ./entrada.csv entrada.csv" "--svg x.svg --csv novo/../x.svg entrada.csv"; do
    status=0
    # shellcheck disable=SC2086
    "$exato" -p 4 $args >out 2>err || status=$?
    [ "$status" -eq 2 ] && [ ! -s out ] || fail "$args: status $status"
    cmp -s canon.csv entrada.csv && [ ! -e x.svg ] || fail "$args: files changed"
done
grep -q 'duas saidas no mesmo arquivo: --svg "x.svg" e --csv "novo/../x.svg"' err ||
    fail "one file twice: $(cat err)"

# Names beside an output taken by what a killed run left, or too long with a suffix: the file
# is written all the same, and what held the name is left as it was.
mkdir lados && cd lados
printf 'sobra\n' >mapa.svg.parcial
long=$(printf 'a%.0s' $(seq 250)).svg
"$exato" -p 4 --svg mapa.svg --csv "$long" ../canon.csv >/dev/null || fail "taken or long side names"
grep -q '<svg' mapa.svg && [ -s "$long" ] && [ "$(cat mapa.svg.parcial)" = sobra ] ||
    fail "taken or long side names: $(ls)"
rm mapa.svg.parcial
# A name ending in / names a folder: refused, and no folder is made for it.
status=0
"$exato" -p 4 --svg nova/ ../canon.csv >/dev/null 2>err || status=$?
[ "$status" -eq 1 ] && [ ! -e nova ] || fail "trailing slash: status $status, $(ls)"
grep -q 'nova/: o nome termina em / e nomeia uma pasta' err || fail "trailing slash: $(cat err)"
# Through a link, the file is written where it leads, and the link stays.
printf 'antigo\n' >real.svg
ln -s real.svg link.svg
ln -s sub/alvo.geojson pendente.geojson
mkdir sub
"$exato" -p 4 --svg link.svg --geojson pendente.geojson ../canon.csv >/dev/null || fail "links: status"
[ -L link.svg ] && [ -L pendente.geojson ] && grep -q '<svg' real.svg && [ -s sub/alvo.geojson ] ||
    fail "links: $(ls -l)"
# Links that go round, or "novo/.", are refused, and nothing is made or replaced for them.
ln -s laco laco
for target in laco novo/.; do
    status=0
    "$exato" -p 4 --svg "$target" ../canon.csv >/dev/null 2>err || status=$?
    [ "$status" -eq 1 ] && [ -L laco ] && [ ! -e novo ] || fail "$target: status $status, $(ls)"
done
# Two files of the converter that lead to one file: refused, the file left as it was.
mkdir inst && printf '4\n' >inst/numcidades.txt && ln -s numcidades.txt inst/MatrizDistanciasteste.txt
status=0
"$gerar" 10 inst >/dev/null 2>err || status=$?
[ "$status" -eq 1 ] && [ "$(cat inst/numcidades.txt)" = 4 ] && [ -L inst/MatrizDistanciasteste.txt ] ||
    fail "converter files at one place: status $status"
grep -q 'leva ao mesmo arquivo que' err || fail "converter files at one place: $(cat err)"
# Another user's link in a folder all may write to (as /tmp) is not followed: the file it
# leads to stays as it was, as the system's rule for such folders has it.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    mkdir -m 1777 comum
    printf 'precioso\n' >guardado.csv
    ln -s "$PWD/guardado.csv" comum/saida.csv
    chown -h nobody comum/saida.csv
    "$exato" -p 4 --csv comum/saida.csv ../canon.csv >/dev/null 2>&1 || true
    [ "$(cat guardado.csv)" = precioso ] || fail "followed another user's link in a shared folder"
fi
cd ..
[ -z "$(find . -name '*.parcial' -o -name '*.anterior')" ] || fail "temporary files left"

finish inputs-outputs
