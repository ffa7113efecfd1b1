// The files dispersao-exato writes of an answer on a point set: the SVG map, the chosen sites
// as GeoJSON and the chosen rows as CSV.
#pragma once

#include <string>

#include "dispersion/dispersion.hpp"
#include "exato/command_line.hpp"
#include "exato/report.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Makes ready the place of every output file `options` asks for, before any long work;
// returns true, or false after saying on standard error which place cannot be written.
[[nodiscard]] bool prepare_answer_files(const ExactOptions& options);

// Writes every output file `options` asks for, of the selection of `result` on `points` (the
// value written as in `answer`, the input named `input_name`), each all or nothing (an
// interrupt meanwhile removes the unfinished files). Returns true, or false after saying on
// standard error why a file could not be written. Precondition: result.chosen holds at least
// two positions of `points`, which were read with their records when CSV or GeoJSON is asked.
[[nodiscard]] bool write_answer_files(const ExactOptions& options, const PointSet& points,
                                      const DispersionResult& result, const ExactAnswer& answer,
                                      const std::string& input_name);

}  // namespace dispersao
