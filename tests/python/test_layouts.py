"""Input in every layout gives the same answer, and float64 input is read in place."""

import tracemalloc

import numpy as np

import dispersao


def test_layouts_and_types_of_input(rng):
    points = rng.uniform(0, 100, size=(50, 2))
    expected = dispersao.solve(points, 4)
    # Columns swapped (a view with a negative stride), Fortran order, float32, nested lists.
    flipped = dispersao.solve(points[:, ::-1][:, ::-1], 4)
    fortran = dispersao.solve(np.asfortranarray(points), 4)
    wide = np.zeros((50, 5))
    wide[:, 1] = points[:, 0]
    wide[:, 3] = points[:, 1]
    strided = dispersao.solve(wide[:, 1::2], 4)
    listed = dispersao.solve(points.tolist(), 4)
    for other in (flipped, fortran, strided, listed):
        assert other.ids.tolist() == expected.ids.tolist()
        assert other.value == expected.value
    single = dispersao.solve(points.astype(np.float32), 4)
    assert single.proven


def misaligned(array):
    """Returns a C-ordered float64 copy of `array` that starts 4 bytes off a double's alignment."""
    raw = np.zeros(array.nbytes + 8, dtype=np.uint8)
    view = raw[4:4 + array.nbytes].view(np.float64).reshape(array.shape)
    view[...] = array
    assert view.flags.c_contiguous and not view.flags.aligned
    return view


def test_misaligned_arrays_are_read_from_an_aligned_copy(rng):
    # C-ordered yet off a double's alignment: memory-mapped files with a header give these.
    points = rng.uniform(0, 100, size=(300, 2))
    expected = dispersao.solve(points, 4)
    got = dispersao.solve(misaligned(points), 4)
    assert got.ids.tolist() == expected.ids.tolist() and got.value == expected.value
    upper = np.triu(rng.integers(1, 50, size=(30, 30)), 1).astype(float)
    matrix = upper + upper.T
    expected_matrix = dispersao.solve_matrix(matrix, 4)
    assert dispersao.solve_matrix(misaligned(matrix), 4).value == expected_matrix.value



def test_matrices_in_any_layout(rng):
    upper = np.triu(rng.integers(1, 50, size=(40, 40)), 1).astype(float)
    matrix = upper + upper.T
    expected = dispersao.solve_matrix(matrix, 5)
    big = np.zeros((80, 80))
    big[::2, ::2] = matrix
    for layout in (np.asfortranarray(matrix), matrix[::-1, ::-1][::-1, ::-1], big[::2, ::2],
                   matrix.tolist(), matrix.astype(np.int32)):
        assert dispersao.solve_matrix(layout, 5).value == expected.value
    # Every row the same view of one row (stride 0): all distances 1.
    assert dispersao.solve_matrix(np.broadcast_to(np.ones(6), (6, 6)), 4).value == 1.0


def peak_of(call):
    """Returns the peak of memory that Python and numpy allocate while `call` runs, in bytes."""
    tracemalloc.start()
    try:
        call()
        return tracemalloc.get_traced_memory()[1]
    finally:
        tracemalloc.stop()


def test_float64_input_is_not_copied(rng):
    points = rng.uniform(0, 1, size=(200_000, 2))  # 3.2 MB
    upper = np.triu(rng.uniform(1, 2, size=(1500, 1500)), 1)
    matrix = upper + upper.T  # 18 MB
    assert peak_of(lambda: dispersao.solve(points, 3, time_limit=0.2)) < 500_000
    assert peak_of(lambda: dispersao.solve_matrix(matrix, 3, time_limit=0.2)) < 500_000
    assert peak_of(lambda: dispersao.solve_matrix(matrix.T, 3, time_limit=0.2)) < 500_000
    # What cannot be read in place is converted once.
    assert peak_of(lambda: dispersao.solve_matrix(matrix.astype(np.float32), 3,
                                                  time_limit=0.2)) > matrix.nbytes
