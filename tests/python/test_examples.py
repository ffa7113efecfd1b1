"""The Python example of the documentation runs and prints what the documentation shows."""

import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def test_spread_cities_example():
    run = subprocess.run(
        [sys.executable, str(ROOT / "examples" / "python" / "spread_cities.py"),
         str(ROOT / "examples" / "world" / "cidades.csv"), "5"],
        capture_output=True, text=True, check=True, timeout=120)
    lines = run.stdout.splitlines()
    assert lines[:5] == ["Inuvik", "Windhoek", "Lima", "Bangkok", "Tongatapu"]
    assert lines[5].startswith("Result(ids=[78, 194, 205, 265, 271], value=9913.49732")
    assert "proven=True" in lines[5]
