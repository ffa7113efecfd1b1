// The SVG map dispersao-exato draws of an answer on a point set.
#pragma once

#include <string>

#include "dispersion/dispersion.hpp"
#include "exato/report.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Draws `points` and the selection of `result`, its value written as in `answer`, into the SVG
// file at `path`, all or nothing (an interrupt meanwhile removes the unfinished file). Returns
// true, or false after saying on standard error why the file could not be written.
// Precondition: result.chosen holds at least two positions of `points`.
[[nodiscard]] bool write_answer_map(const std::string& path, const PointSet& points,
                                    const DispersionResult& result, const ExactAnswer& answer);

}  // namespace dispersao
