// The files dispersao-exato writes of an answer on a point set: the SVG map, the chosen sites
// as GeoJSON and the chosen rows as CSV.
#pragma once

#include <optional>
#include <string>

#include "dispersion/dispersion.hpp"
#include "exato/command_line.hpp"
#include "exato/report.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Returns why the output files `options` asks for cannot all be written: two of them, or one
// and the input, lead to one file however they are spelled (the input would be lost, or one
// output replace another). Nothing when they are apart.
[[nodiscard]] std::optional<std::string> clashing_outputs(const ExactOptions& options);

// Makes ready the place of every output file `options` asks for, before any long work;
// returns true, or false after saying on standard error which place cannot be written.
[[nodiscard]] bool prepare_answer_files(const ExactOptions& options);

// Writes every output file `options` asks for, of the selection of `result` on `points` (the
// value written as in `answer`, the input named `input_name`), all or nothing together (an
// interrupt meanwhile removes the unfinished files, and a failure leaves every earlier file
// at those names as it was). Returns true, or false after saying on
// standard error why a file could not be written. Precondition: result.chosen holds at least
// two positions of `points`, which were read with their records when CSV or GeoJSON is asked.
[[nodiscard]] bool write_answer_files(const ExactOptions& options, const PointSet& points,
                                      const DispersionResult& result, const ExactAnswer& answer,
                                      const std::string& input_name);

}  // namespace dispersao
