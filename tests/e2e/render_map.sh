#!/usr/bin/env bash
# Renders an SVG map with a real renderer and checks the picture is not blank: at least
# MIN_PIXELS pixels differ from the white background.
# Usage: render_map.sh FILE.svg MIN_PIXELS
# Ends with status 77 (skipped) when rsvg-convert is missing, unless DISPERSAO_REQUIRE_RSVG=1.
set -euo pipefail
svg=$1
min_pixels=$2
if ! command -v rsvg-convert >/dev/null; then
    if [ "${DISPERSAO_REQUIRE_RSVG:-0}" = 1 ]; then
        echo "rsvg-convert is missing (Debian package librsvg2-bin)"; exit 1
    fi
    echo "skipped: rsvg-convert is missing (Debian package librsvg2-bin)"; exit 77
fi
png=$(mktemp)
trap 'rm -f "$png"' EXIT
rsvg-convert -b white -f png -o "$png" "$svg"
python3 - "$png" "$min_pixels" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
at, idat, width, height, depth, colour = 8, b"", 0, 0, 0, 0
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
    elif kind == b"IDAT":
        idat += body
    at += 12 + length
assert depth == 8 and colour in (2, 6), f"unexpected PNG format {depth}/{colour}"
channels = 3 if colour == 2 else 4
raw, stride = zlib.decompress(idat), width * channels
previous, rows, at = bytearray(stride), [], 0
for _ in range(height):
    kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
    at += 1 + stride
    for i in range(stride):
        left = line[i - channels] if i >= channels else 0
        up, corner = previous[i], previous[i - channels] if i >= channels else 0
        if kind == 1: line[i] = (line[i] + left) & 255
        elif kind == 2: line[i] = (line[i] + up) & 255
        elif kind == 3: line[i] = (line[i] + (left + up) // 2) & 255
        elif kind == 4:
            p = left + up - corner
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
            line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
    rows.append(line)
    previous = line
inked = sum(1 for line in rows for k in range(0, stride, channels) if line[k:k + 3] != b"\xff\xff\xff")
print(f"{width}x{height} picture, {inked} pixels drawn")
sys.exit(0 if inked >= int(sys.argv[2]) else 1)
PY
