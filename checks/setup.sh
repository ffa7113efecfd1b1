#!/usr/bin/env bash
# Installs the Debian packages that building, checking and packaging need, where missing.
set -euo pipefail
packages=(g++ cmake make libgtest-dev clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14
          valgrind librsvg2-bin python3 dpkg-dev
          python3-dev python3-venv python3-numpy python3-pybind11 pybind11-dev python3-setuptools
          python3-wheel python3-pytest)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get install -y -q "${missing[@]}"
