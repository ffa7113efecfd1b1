// A picture of an answer: the points of a set, the chosen ones marked, as an SVG document.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao {

// The selection to draw over a point set.
struct MapAnswer {
    // 0-based positions of the chosen points in the set, at least two.
    std::vector<std::size_t> chosen;
    // The two chosen points nearest each other (positions in the set), whose distance is the
    // value of the selection; the picture marks their segment.
    std::size_t closest_first = 0;
    std::size_t closest_second = 0;
    // That distance as the report writes it.
    std::string value_text;
    // What the title calls the input (its file name, say); "" for a title without it.
    std::string input_name;
};

// Returns the answer that draws `chosen` (positions of `points`, ascending, at least two) with
// `value_text`: its closest pair is the pair of chosen points nearest each other under the set's
// rule, the first in (i, j) order of `chosen` when several are. Precondition: every position
// lies in the set.
[[nodiscard]] MapAnswer map_answer(const PointSet& points, std::vector<std::size_t> chosen,
                                   std::string value_text);

// Largest width and height of the drawing area, in SVG user units.
inline constexpr double kMapSize = 1000.0;

// Returns an SVG document that draws every point of `points`, the chosen ones larger and
// labelled with their id (and name, where the set has names), and the closest pair's segment
// marked with its distance. A title gives the input's name, p and the value with its unit (km
// for latitude and longitude); a scale bar gives a round length in the same unit. With few
// chosen points every pair is joined; with more, only each chosen point and its nearest
// chosen neighbour. Coordinates are drawn as x to the right and y up; latitude and longitude
// in an equirectangular projection about the set's middle latitude (longitude to the right).
// Labels stay inside the picture, and every number written is finite whatever the
// coordinates. Points that fall on the same unit of the drawing are drawn once, so the
// document stays small at any size (about 12 bytes per drawn point). Preconditions: the
// chosen positions and the closest pair lie in the set, and at least two points are chosen.
[[nodiscard]] std::string render_answer_map(const PointSet& points, const MapAnswer& answer);

}  // namespace dispersao
