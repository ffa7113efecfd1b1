// Every distance rule a point set can carry, for tests that must hold under each of them.
#pragma once

#include "dispersion/dispersion.hpp"

namespace test_support {

// The six rules: the four TSPLIB roundings, plain Euclidean, and great-circle kilometres.
inline constexpr dispersao::DistanceRule kEveryRule[] = {
    dispersao::DistanceRule::tsplib_euc_2d, dispersao::DistanceRule::tsplib_ceil_2d,
    dispersao::DistanceRule::tsplib_att,    dispersao::DistanceRule::tsplib_geo,
    dispersao::DistanceRule::euclidean,     dispersao::DistanceRule::great_circle_km};

}  // namespace test_support
