"""Exact p-dispersion: choose p of n sites whose smallest pairwise distance is as large as
possible, proven optimal unless a time limit stops the search first (from p = 30 on, sets of
over 10,000 points, or any set at p above 1,000, get a selection at least as good as the
farthest-point greedy's with an upper bound, and no proof).

>>> import dispersao
>>> r = dispersao.solve([[0, 0], [3, 4], [6, 0], [1, 1]], 3)
>>> r.ids.tolist(), r.value, r.proven
([0, 1, 2], 5.0, True)

Two functions, `solve` for points and `solve_matrix` for a distance matrix, both returning a
`Result`. The search runs without the GIL, so several Python threads can solve at once.
"""

from __future__ import annotations

import math
import numbers
import operator
from dataclasses import dataclass
from typing import Optional

import numpy as np
import numpy.typing as npt

from . import _core

__all__ = ["Result", "solve", "solve_matrix", "METRICS"]

#: The version of the compiled library, "major.minor.patch".
__version__: str = _core.VERSION

#: The names `solve` accepts for `metric`.
METRICS = ("euclidean", "euc_2d", "ceil_2d", "att", "geo", "haversine")


@dataclass(frozen=True, repr=False, eq=False)
class Result:
    """What a solve found.

    Attributes:
        ids: the 0-based rows of the p chosen sites, ascending (numpy int64).
        value: the smallest distance between two chosen sites.
        upper_bound: no allowed selection (holding the fixed sites, if any) has a larger
            smallest distance; equal to `value` when the answer is proven optimal.
        proven: whether `value == upper_bound`, i.e. the selection is optimal.
        seconds: wall-clock time of the solve.
    """

    ids: np.ndarray
    value: float
    upper_bound: float
    proven: bool
    seconds: float

    def __repr__(self) -> str:
        shown = [str(i) for i in self.ids.tolist()]
        if len(shown) > 12:
            shown = shown[:6] + ["..."] + shown[-3:]
        ids = "[" + ", ".join(shown) + "]"
        return (f"Result(ids={ids}, value={self.value!r}, upper_bound={self.upper_bound!r}, "
                f"proven={self.proven}, seconds={self.seconds:.3f})")


def _limit(time_limit: Optional[float]) -> float:
    """Returns the time limit in seconds for the core: infinity for None; TypeError for what is
    not a real number (True is not one second)."""
    if time_limit is None:
        return math.inf
    if isinstance(time_limit, bool) or not isinstance(time_limit, numbers.Real):
        raise TypeError(f"time_limit must be a number of seconds or None, not "
                        f"{type(time_limit).__name__}")
    return float(time_limit)


def _sites(array: np.ndarray) -> int:
    """Returns the sites of an input array, its rows (0 for a scalar), for messages."""
    return array.shape[0] if array.ndim > 0 else 0


def _p(p: int, n: int) -> int:
    """Returns p for the core, which checks it against the n sites once it fits a C int;
    ValueError for one that does not."""
    count = operator.index(p)
    if not -2**31 <= count < 2**31:
        raise ValueError(f"p = {count} is out of range: it must be at least 2 and at most the "
                         f"number of sites, {n}")
    return count


def _threads(threads: Optional[int]) -> int:
    """Returns the worker threads for the core: 0 (every core) for None."""
    if threads is None:
        return 0
    count = operator.index(threads)
    if not 1 <= count <= _core.MAX_THREADS:
        raise ValueError(f"threads must be a positive integer up to {_core.MAX_THREADS} or "
                         f"None, not {count}")
    return count


def _real(sites: npt.ArrayLike) -> np.ndarray:
    """Returns `sites` as float64; ValueError for complex numbers, whose parts would be lost."""
    array = np.asarray(sites)
    if array.dtype.kind == "c":
        raise ValueError(f"coordinates and distances must be real numbers; got {array.dtype}")
    return np.asarray(array, dtype=np.float64)


def _fixed(fixed: Optional[npt.ArrayLike], n: int) -> list[int]:
    """Returns the fixed ids as a list of ints; ValueError unless they are integers (the core
    checks them against the n sites once they fit 64 bits)."""
    if fixed is None:
        return []
    ids = np.asarray(fixed)
    if ids.size == 0:
        return []
    if ids.ndim > 1:
        raise ValueError(f"fixed must be a sequence of ids; got shape {ids.shape}")
    if ids.dtype.kind == "O":
        raise ValueError(f"fixed must be a list, tuple or array of integer ids; got "
                         f"{type(fixed).__name__}")
    if ids.dtype.kind not in "iu":
        raise ValueError(f"fixed must hold integer ids; got {ids.dtype} values")
    listed = [int(i) for i in ids.reshape(-1)]
    for i in listed:
        if not -2**63 <= i < 2**63:
            raise ValueError(f"fixed id {i} is out of range: ids run from 0 to {n - 1}")
    return listed


def solve(points: npt.ArrayLike, p: int, *, metric: str = "euclidean",
          time_limit: Optional[float] = None, fixed: Optional[npt.ArrayLike] = None,
          threads: Optional[int] = None) -> Result:
    """Chooses p of the points whose smallest pairwise distance is as large as possible.

    Args:
        points: array-like of shape (n, 2), the rows' coordinates. A float64 numpy array is
            taken as it is (any row or column stride), with no converted copy; anything else
            is converted once. The search keeps its own working copy, 16 bytes a point.
        p: how many sites to choose, 2 <= p <= n.
        metric: how distance is measured: "euclidean" (real), the TSPLIB rules "euc_2d"
            (rounded), "ceil_2d" (rounded up), "att" and "geo" (integer km from DDD.MM
            latitude, longitude), or "haversine": great-circle km on a sphere of radius 6371.0
            from columns (latitude, longitude) in decimal degrees.
        time_limit: seconds the search may take; None for no limit. When it runs out, the best
            selection found is returned with proven=False and a valid upper_bound.
        fixed: ids (0-based rows) of sites already chosen; the answer holds them and is optimal
            among the selections that do. At most p distinct ids.
        threads: worker threads the search may use, 1 to 1024; None for one per core.

    Returns:
        A Result.

    Raises:
        ValueError: points not of shape (n, 2), a NaN or infinite coordinate (or a latitude
            outside [-90, 90] for haversine and geo), planar points so far apart that their
            distance overflows a double, complex numbers, p out of range, a fixed id out of
            range or repeated, an unknown metric, a negative time limit, threads < 1 or above
            1024.
        TypeError: a time limit that is not a real number (or None).
        KeyboardInterrupt: Ctrl-C while solving in the main thread stops the search within
            about 0.1 s and raises KeyboardInterrupt; no result is returned.
    """
    array = _real(points)
    ids, value, upper, proven, seconds = _core.solve_points(
        array, _p(p, _sites(array)), str(metric), _limit(time_limit),
        _fixed(fixed, _sites(array)),
        _threads(threads))
    return Result(ids, value, upper, bool(proven), seconds)


def solve_matrix(matrix: npt.ArrayLike, p: int, *, time_limit: Optional[float] = None,
                 fixed: Optional[npt.ArrayLike] = None, threads: Optional[int] = None) -> Result:
    """Chooses p of the n rows of a distance matrix whose smallest pairwise distance is as
    large as possible.

    Args:
        matrix: square array-like of shape (n, n): cell [i, j] is the distance between rows i
            and j. Off the diagonal every cell must be finite, >= 0 and equal to cell [j, i];
            the diagonal is ignored. A float64 numpy array in C or Fortran order (or with unit
            stride along either axis) is read in place, never copied; anything else is
            converted once.
        p: how many rows to choose, 2 <= p <= n.
        time_limit: seconds the search may take; None for no limit. When it runs out, the best
            selection found is returned with proven=False and a valid upper_bound.
        fixed: ids (0-based rows) already chosen; the answer holds them and is optimal among
            the selections that do. At most p distinct ids.
        threads: worker threads the search may use, 1 to 1024; None for one per core.

    Returns:
        A Result.

    Raises:
        ValueError: a matrix that is not square, a NaN, infinite or negative cell, a matrix
            that is not symmetric, complex numbers, p out of range, a fixed id out of range or
            repeated, a negative time limit, threads < 1 or above 1024.
        TypeError: a time limit that is not a real number (or None).
        KeyboardInterrupt: Ctrl-C while solving in the main thread stops the search within
            about 0.1 s and raises KeyboardInterrupt; no result is returned.
    """
    array = _real(matrix)
    ids, value, upper, proven, seconds = _core.solve_matrix(
        array, _p(p, _sites(array)), _limit(time_limit), _fixed(fixed, _sites(array)),
        _threads(threads))
    return Result(ids, value, upper, bool(proven), seconds)
