"""Reads a CSV file of lat,lon,name rows, chooses the p places farthest from each other on the
globe and prints their names. Usage: python3 spread_cities.py FILE.csv P"""

import csv
import sys

import dispersao

with open(sys.argv[1], newline="", encoding="utf-8") as file:
    rows = list(csv.reader(file))[1:]  # after the header
points = [(float(lat), float(lon)) for lat, lon, _ in rows]
result = dispersao.solve(points, int(sys.argv[2]), metric="haversine")
for i in result.ids:
    print(rows[i][2])
print(result)
