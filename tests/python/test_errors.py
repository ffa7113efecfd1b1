"""Bad input raises ValueError with a message that says what is wrong."""

import math

import numpy as np
import pytest

import dispersao

SQUARE = [[0, 0], [1, 0], [0, 1], [1, 1]]
MATRIX = [[0, 1, 2], [1, 0, 3], [2, 3, 0]]


@pytest.mark.parametrize("call,message", [
    (lambda: dispersao.solve([1, 2, 3], 2), r"points must have shape \(n, 2\); got shape \(3,\)"),
    (lambda: dispersao.solve(np.zeros((4, 3)), 2),
     r"points must have shape \(n, 2\); got shape \(4, 3\)"),
    (lambda: dispersao.solve([[0, 0], [1, math.nan]], 2),
     r"point 1 has a coordinate that is NaN or infinite \(1, nan\)"),
    (lambda: dispersao.solve([[0, 0], [math.inf, 1]], 2), r"point 1 .* NaN or infinite"),
    (lambda: dispersao.solve([[0, 0], [95, 1]], 2, metric="haversine"),
     r"point 1 has latitude 95, outside \[-90, 90\]"),
    (lambda: dispersao.solve(SQUARE, 5),
     r"p = 5 is out of range: it must be at least 2 and at most the number of sites, 4"),
    (lambda: dispersao.solve(SQUARE, 1), r"p = 1 is out of range"),
    (lambda: dispersao.solve(SQUARE, 2, fixed=[4]),
     r"fixed id 4 is out of range: ids run from 0 to 3"),
    (lambda: dispersao.solve(SQUARE, 2, fixed=[-1]),
     r"fixed id -1 is out of range: ids run from 0 to 3"),
    (lambda: dispersao.solve(SQUARE, 3, fixed=[2, 2]), r"fixed id 2 is given twice"),
    (lambda: dispersao.solve(SQUARE, 2, fixed=[0, 1, 2]),
     r"3 fixed sites for p = 2: at most p sites can be fixed"),
    (lambda: dispersao.solve(SQUARE, 2, fixed=[0.5]), r"fixed must hold integer ids"),
    (lambda: dispersao.solve(SQUARE, 2, fixed={3}),
     r"fixed must be a list, tuple or array of integer ids; got set"),
    (lambda: dispersao.solve(SQUARE, 2, metric="manhattan"),
     r"unknown metric 'manhattan': expected one of euclidean, euc_2d, ceil_2d, att, geo, "
     r"haversine"),
    (lambda: dispersao.solve(SQUARE, 2, time_limit=-1),
     r"time_limit must be a number of seconds >= 0, not -1"),
    (lambda: dispersao.solve(SQUARE, 2, threads=0), r"threads must be a positive integer"),
    (lambda: dispersao.solve(SQUARE, 2, threads=2**40), r"threads must be .* up to 1024"),
    (lambda: dispersao.solve(SQUARE, 2**62),
     r"p = 4611686018427387904 is out of range: it must be at least 2 and at most the number "
     r"of sites, 4"),
    (lambda: dispersao.solve_matrix(MATRIX, -2**40), r"p = -1099511627776 is out of range"),
    (lambda: dispersao.solve(SQUARE, 2, fixed=np.array([2**63], dtype=np.uint64)),
     r"fixed id 9223372036854775808 is out of range: ids run from 0 to 3"),
    (lambda: dispersao.solve(np.array(SQUARE) * 1j, 2), r"must be real numbers; got complex128"),
    (lambda: dispersao.solve([[0, 0], [95, 1]], 2, metric="geo"),
     r"point 1 has latitude 95, outside \[-90, 90\] \(geo"),
    (lambda: dispersao.solve_matrix(np.zeros((3, 4)), 2),
     r"the matrix must be square, of shape \(n, n\); got shape \(3, 4\)"),
    (lambda: dispersao.solve_matrix(np.zeros(9), 2),
     r"the matrix must be square, of shape \(n, n\); got shape \(9,\)"),
    (lambda: dispersao.solve_matrix([[0, 1, 2], [1, 0, 3], [2, math.nan, 0]], 2),
     r"matrix cell \[2\]\[1\] is NaN or infinite"),
    (lambda: dispersao.solve_matrix([[0, -1], [-1, 0]], 2), r"matrix cell \[0\]\[1\] is negative"),
    (lambda: dispersao.solve_matrix([[0, 1, 2], [1, 0, 3], [2.5, 3, 0]], 2),
     r"the matrix is not symmetric: matrix cell \[0\]\[2\] = 2 but matrix cell \[2\]\[0\] = 2.5"),
    (lambda: dispersao.solve_matrix(MATRIX, 4), r"p = 4 is out of range"),
    (lambda: dispersao.solve_matrix(MATRIX, 2, fixed=[3]), r"fixed id 3 is out of range"),
])
def test_rejects_with_a_clear_message(call, message):
    with pytest.raises(ValueError, match=message):
        call()


@pytest.mark.parametrize("limit", [True, "1", [1]])
def test_a_time_limit_is_a_real_number(limit):
    with pytest.raises(TypeError, match=r"time_limit must be a number of seconds or None"):
        dispersao.solve(SQUARE, 2, time_limit=limit)


def test_ragged_or_textual_points_are_value_errors():
    with pytest.raises(ValueError):
        dispersao.solve([[0, 0], [1]], 2)
    with pytest.raises(ValueError):
        dispersao.solve([["a", "b"], ["c", "d"]], 2)


def test_the_diagonal_is_not_read():
    matrix = np.array(MATRIX, dtype=float)
    np.fill_diagonal(matrix, math.nan)
    assert dispersao.solve_matrix(matrix, 2).value == 3.0
