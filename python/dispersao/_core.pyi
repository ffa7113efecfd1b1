"""Types of the compiled core; the public functions are those of the dispersao package."""

import numpy as np
import numpy.typing as npt

MAX_THREADS: int
VERSION: str

def solve_points(
    points: npt.NDArray[np.float64],
    p: int,
    metric: str,
    time_limit: float,
    fixed: list[int],
    threads: int,
) -> tuple[npt.NDArray[np.int64], float, float, bool, float]: ...
def solve_matrix(
    matrix: npt.NDArray[np.float64],
    p: int,
    time_limit: float,
    fixed: list[int],
    threads: int,
) -> tuple[npt.NDArray[np.int64], float, float, bool, float]: ...
