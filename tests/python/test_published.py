"""The published p = 5 optima of two shipped TSPLIB instances."""

import pytest

import dispersao
from conftest import published, read_tsplib


@pytest.mark.parametrize("name", ["rw1621", "u1817"])
def test_published_optimum_at_p5(name):
    points, kind = read_tsplib(name)
    assert kind == "EUC_2D"
    result = dispersao.solve(points, 5, metric="euc_2d", time_limit=300)
    assert result.proven
    assert result.value == published(name, 5)
    assert len(result.ids) == 5
