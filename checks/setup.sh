#!/usr/bin/env bash
# Installs the Debian packages a task needs, where missing; silent when nothing is.
#   checks/setup.sh build   what building the programs needs (make build, make run)
#   checks/setup.sh test    that and what the tests use (make test)
#   checks/setup.sh [all]   that and the hardening checks, packaging and lint (CI)
# When a package is unknown to apt (a fresh machine's empty package lists), the lists are
# updated first. Run as root, or with sudo available.
set -euo pipefail

build=(g++ cmake make)
# GoogleTest; the map test's renderer; the exact companion's test unpacks .tsp.xz instances;
# the Python module and its tests use Debian's python3 with numpy and pybind11.
test=(libgtest-dev librsvg2-bin xz-utils python3 python3-dev python3-venv python3-numpy
      python3-pybind11 pybind11-dev python3-setuptools python3-wheel python3-pytest)
checks=(clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 valgrind dpkg-dev)

case "${1:-all}" in
    build) packages=("${build[@]}") ;;
    test) packages=("${build[@]}" "${test[@]}") ;;
    all) packages=("${build[@]}" "${test[@]}" "${checks[@]}") ;;
    *) echo "setup: use build, test or all, not \"$1\"" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "setup: ${missing[*]} missing; run as root: apt-get install ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# A package apt has no candidate for is unknown to its lists: refresh them once.
for package in "${missing[@]}"; do
    if ! apt-cache policy "$package" 2>/dev/null | grep -q 'Candidate: [^(]'; then
        echo "setup: updating the package lists ($package is not in them)"
        "${sudo[@]}" apt-get update -q
        break
    fi
done
echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
