// Files of an answer's chosen sites for other tools: GeoJSON for maps and GIS, CSV for a
// spreadsheet. Both are text built here and written all or nothing by the caller.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao {

// Returns `text` as a JSON string, quotes included: quotes, backslashes and control characters
// escaped; bytes that are not valid UTF-8 become U+FFFD.
[[nodiscard]] std::string json_string(std::string_view text);

// Returns `value` as a JSON number: the shortest text that reads back as the same double, or
// null when it is not finite (JSON has no infinity).
[[nodiscard]] std::string json_number(double value);

// True when `points` lie on the globe (latitude and longitude), as GeoJSON requires.
[[nodiscard]] bool geographic(const PointSet& points);

// Returns a GeoJSON FeatureCollection (RFC 7946) of the chosen points, in the order of
// `chosen`: each a Point at [longitude, latitude] in decimal degrees, with the properties the
// input gave it (a GeoJSON feature's own; every column of a CSV row, as text; otherwise its
// name and code) and the member "dispersao": {"linha": its id as the reports show it,
// "valor": `value`, "distancia_vizinho": the distance to the nearest other chosen point}.
// Preconditions: geographic(points); at least two positions, all inside the set.
[[nodiscard]] std::string chosen_sites_geojson(const PointSet& points,
                                               const std::vector<std::size_t>& chosen,
                                               double value);

// Returns the chosen points as CSV, in the order of their positions: for an input read from
// CSV with its records kept, the header and each chosen row exactly as the input wrote them;
// otherwise a header "id,nome,codigo" (the last two when the set has them) and "x,y" or
// "lat,lon", each field quoted when it holds a comma, a quote or a line break. Lines end in
// "\n". Precondition: the positions lie in the set.
[[nodiscard]] std::string chosen_sites_csv(const PointSet& points,
                                           const std::vector<std::size_t>& chosen);

}  // namespace dispersao
