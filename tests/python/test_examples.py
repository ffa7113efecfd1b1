"""The Python example of the documentation runs and prints an optimal answer with its names."""

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
    # Several selections reach the optimum; whichever is printed, its names are its ids' rows.
    names = [line.split(",")[2] for line in
             (ROOT / "examples" / "world" / "cidades.csv").read_text().splitlines()[1:]]
    assert len(lines) == 6
    ids = [int(i) for i in lines[5].split("[")[1].split("]")[0].split(", ")]
    assert lines[:5] == [names[i] for i in ids]
    assert ", value=9913.49732" in lines[5] and "proven=True" in lines[5]


def test_version_is_the_installed_package_version():
    """The version compiled into the library is the one the package was installed as."""
    from importlib.metadata import version

    import dispersao

    assert dispersao.__version__ == version("dispersao")
