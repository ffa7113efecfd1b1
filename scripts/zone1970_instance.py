#!/usr/bin/env python3
"""Builds the world example from the time-zone database's zone1970.tab.

Each zone of the table is a city (its principal location, ids 1..n in table order); the
distance between two cities is the great-circle distance on a sphere of radius 6371 km in units
of 200 km, truncated toward zero. Writes numcidades.txt, MatrizDistanciasteste.txt, nomes.txt
(line k names city k), cidades.csv (the cities as points: lat, lon, nome) and a README.md listing
which position is which city into the output directory.

Usage: zone1970_instance.py [ZONE1970_TAB [OUTPUT_DIR]]
  defaults: /usr/share/zoneinfo/zone1970.tab (Debian's tzdata) and examples/world
"""
import math
import os
import re
import sys

EARTH_RADIUS_KM = 6371.0
UNIT_KM = 200.0
# ISO 6709 latitude and longitude: +-DDMM[SS] then +-DDDMM[SS].
COORDINATES = re.compile(r"^([+-])(\d{2})(\d{2})(\d{2})?([+-])(\d{3})(\d{2})(\d{2})?$")


def degrees(sign, whole, minutes, seconds):
    value = int(whole) + int(minutes) / 60 + (int(seconds) if seconds else 0) / 3600
    return -value if sign == "-" else value


def read_zones(path):
    """Returns (codes, latitude, longitude, zone) per data line of the table, in its order."""
    zones = []
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            match = COORDINATES.match(fields[1]) if len(fields) >= 3 else None
            if match is None:
                sys.exit(f"{path}, linha {number}: linha nao reconhecida: {line.strip()!r}")
            latitude = degrees(*match.group(1, 2, 3, 4))
            longitude = degrees(*match.group(5, 6, 7, 8))
            zones.append((fields[0], latitude, longitude, fields[2]))
    return zones


def great_circle_km(a, b):
    """Haversine distance between two (latitude, longitude) points in degrees."""
    lat1, lon1, lat2, lon2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = (math.sin((lat2 - lat1) / 2) ** 2
         + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
    return 2 * EARTH_RADIUS_KM * math.asin(min(1.0, math.sqrt(h)))


def city_name(zone):
    return zone.rsplit("/", 1)[-1].replace("_", " ")


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/zoneinfo/zone1970.tab"
    output = sys.argv[2] if len(sys.argv) > 2 else "examples/world"
    zones = read_zones(source)
    os.makedirs(output, exist_ok=True)
    points = [(z[1], z[2]) for z in zones]
    with open(os.path.join(output, "MatrizDistanciasteste.txt"), "w") as distances:
        for i in range(len(points)):
            distances.write("".join(
                f"{i + 1} {j + 1} {int(great_circle_km(points[i], points[j]) / UNIT_KM)}\n"
                for j in range(i + 1, len(points))))
    with open(os.path.join(output, "numcidades.txt"), "w") as count:
        count.write(f"{len(zones)}\n")
    with open(os.path.join(output, "nomes.txt"), "w", encoding="utf-8") as names:
        names.write("".join(f"{city_name(zone)}\n" for _, _, _, zone in zones))
    with open(os.path.join(output, "cidades.csv"), "w", encoding="utf-8") as cities:
        cities.write("lat,lon,nome\n")
        cities.write("".join(f"{latitude:.4f},{longitude:.4f},{city_name(zone)}\n"
                             for _, latitude, longitude, zone in zones))
    with open(os.path.join(output, "README.md"), "w") as readme:
        readme.write(
            "# World: the cities of the time-zone database\n\n"
            f"{len(zones)} cities, one per zone of `zone1970.tab` (tzdb, public domain; Debian's\n"
            "`tzdata` package installs it as /usr/share/zoneinfo/zone1970.tab). Distances are\n"
            "great-circle distances on a sphere of radius 6371 km in units of 200 km, truncated,\n"
            "so the cap of 100 is 20,000 km. Regenerate with\n"
            "`python3 tools/zone1970_instance.py /usr/share/zoneinfo/zone1970.tab examples/world`.\n\n"
            "Position 0 is no city (the files number cities from 1); its distances are 0. `nomes.txt` gives\n"
            "the city of each position (line k for position k), and `cidades.csv` the same cities as points\n"
            "(`lat`, `lon`, `nome`) for the point-set inputs of `dispersao-exato`.\n\n"
            "| position | city | zone | countries | latitude | longitude |\n"
            "|---:|---|---|---|---:|---:|\n")
        for position, (codes, latitude, longitude, zone) in enumerate(zones, 1):
            readme.write(f"| {position} | {city_name(zone)} | {zone} | {codes.replace(',', ' ')} "
                         f"| {latitude:.4f} | {longitude:.4f} |\n")


if __name__ == "__main__":
    main()
