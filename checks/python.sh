#!/usr/bin/env bash
# Installs the Python package as its users do, offline, into a new virtual environment over
# Debian's python3 (with its numpy and pybind11), then runs the Python tests against that
# installation rather than the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
venv=$root/build/python-venv
rm -rf "$venv"
/usr/bin/python3 -m venv --system-site-packages "$venv"
echo "test-python: pip install --no-build-isolation ."
"$venv/bin/pip" install --quiet --no-build-isolation --root-user-action=ignore .
cd "$root/tests/python"
"$venv/bin/python" -m pytest -q -p no:cacheprovider
