"""Both functions against brute force on small sets, with and without fixed sites, and the
same answer from points and from their distance matrix."""

import math

import numpy as np
import pytest

import dispersao
from conftest import brute_force, worth


def euclidean(points):
    return lambda a, b: math.dist(points[a], points[b])


def haversine(points):
    def distance(a, b):
        lat1, lon1, lat2, lon2 = map(math.radians, (*points[a], *points[b]))
        h = (math.sin((lat2 - lat1) / 2) ** 2
             + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
        return 2 * 6371.0 * math.asin(math.sqrt(h))
    return distance


def euc_2d(points):
    return lambda a, b: float(math.floor(math.dist(points[a], points[b]) + 0.5))


def check(result, n, p, fixed, distance, optimum, tolerance=0.0):
    assert result.ids.dtype == np.int64
    assert result.ids.shape == (p,)
    assert list(result.ids) == sorted(set(result.ids.tolist()))
    assert 0 <= result.ids.min() and result.ids.max() < n
    assert set(fixed) <= set(result.ids.tolist())
    assert result.value == pytest.approx(worth(result.ids, distance), rel=1e-12)
    assert result.value == pytest.approx(optimum, rel=tolerance, abs=tolerance)
    assert result.proven is True
    assert result.upper_bound == result.value


@pytest.mark.parametrize("metric,measure,low,high", [
    ("euclidean", euclidean, -100, 100),
    ("euc_2d", euc_2d, 0, 20),
    ("haversine", haversine, -80, 80),
])
def test_points_match_brute_force(rng, metric, measure, low, high):
    for trial in range(60):
        n = int(rng.integers(2, 10))
        points = rng.uniform(low, high, size=(n, 2))
        if metric == "euc_2d":
            points = np.round(points)  # ties and repeated places
        p = int(rng.integers(2, min(n, 5) + 1))
        fixed = rng.permutation(n)[: int(rng.integers(0, p + 1))].tolist()
        distance = measure(points)
        result = dispersao.solve(points, p, metric=metric, fixed=fixed)
        # math.dist and the library's formulas round differently; the great-circle formula
        # and the haversine agree to rounding.
        tolerance = {"euclidean": 1e-12, "haversine": 1e-9}.get(metric, 0.0)
        check(result, n, p, fixed, distance, brute_force(n, p, distance, fixed), tolerance)


def test_matrix_matches_brute_force(rng):
    for trial in range(80):
        n = int(rng.integers(2, 10))
        upper = np.triu(rng.integers(0, 6 if trial % 2 else 1000, size=(n, n)), 1).astype(float)
        matrix = upper + upper.T
        p = int(rng.integers(2, min(n, 5) + 1))
        fixed = rng.permutation(n)[: int(rng.integers(0, p + 1))].tolist()
        distance = lambda a, b: matrix[a, b]
        result = dispersao.solve_matrix(matrix, p, fixed=fixed)
        check(result, n, p, fixed, distance, brute_force(n, p, distance, fixed))


@pytest.mark.parametrize("fixed", [None, [0], [3, 150]])
def test_points_and_their_matrix_agree(rng, fixed):
    points = rng.uniform(0, 1000, size=(300, 2))
    matrix = np.sqrt(((points[:, None, :] - points[None, :, :]) ** 2).sum(axis=2))
    from_points = dispersao.solve(points, 6, fixed=fixed)
    from_matrix = dispersao.solve_matrix(matrix, 6, fixed=fixed)
    assert from_points.proven and from_matrix.proven
    assert from_matrix.value == pytest.approx(from_points.value, rel=1e-12)
    # The matrix in Fortran order is read in place as its transpose: the same answer.
    fortran = dispersao.solve_matrix(np.asfortranarray(matrix), 6, fixed=fixed)
    assert fortran.value == from_matrix.value


def test_result_reads_well():
    result = dispersao.solve([[0, 0], [3, 4], [6, 0], [1, 1]], 3)
    assert result.ids.tolist() == [0, 1, 2]
    assert result.value == 5.0
    text = repr(result)
    assert text.startswith("Result(ids=[0, 1, 2], value=5.0, upper_bound=5.0, proven=True, ")
    assert "seconds=" in text
