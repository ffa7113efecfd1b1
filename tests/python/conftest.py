"""Shared helpers of the Python tests: brute force, and the shipped point sets."""

import itertools
import lzma
import math
from pathlib import Path

import numpy as np
import pytest

POINTS = Path(__file__).resolve().parents[2] / "bench" / "data" / "points"


def brute_force(n, p, distance, fixed=()):
    """Returns the best smallest pairwise distance of p of n sites holding `fixed`."""
    fixed = list(fixed)
    others = [i for i in range(n) if i not in fixed]
    best = -math.inf
    for rest in itertools.combinations(others, p - len(fixed)):
        chosen = fixed + list(rest)
        worth = min((distance(a, b) for a, b in itertools.combinations(chosen, 2)),
                    default=math.inf)
        best = max(best, worth)
    return best


def worth(ids, distance):
    """Returns the smallest pairwise distance of the sites `ids`."""
    return min(distance(int(a), int(b)) for a, b in itertools.combinations(ids, 2))


def read_tsplib(name):
    """Returns the (n, 2) coordinates of a shipped NAME.tsp.xz and its EDGE_WEIGHT_TYPE."""
    rows = []
    kind = None
    in_coordinates = False
    with lzma.open(POINTS / f"{name}.tsp.xz", "rt") as file:
        for line in file:
            line = line.strip()
            if line.startswith("EDGE_WEIGHT_TYPE"):
                kind = line.split(":")[1].strip()
            elif line == "NODE_COORD_SECTION":
                in_coordinates = True
            elif line == "EOF":
                break
            elif in_coordinates and line:
                _, x, y = line.split()
                rows.append((float(x), float(y)))
    return np.array(rows), kind


def published(name, p):
    """Returns the published optimum of instance `name` at p from published.csv."""
    for line in (POINTS / "published.csv").read_text().splitlines()[1:]:
        instance, at, value, proven, _ = line.split(",")
        if instance == name and int(at) == p and proven == "yes":
            return float(value)
    raise KeyError((name, p))


@pytest.fixture
def rng():
    return np.random.default_rng(20)
