# Thin driver over the CMake presets; every build product goes under build/.
.PHONY: all build test run clean bench bench-quality bench-points bench-matrix bench-heuristics install package
.PHONY: sanitize fuzz memcheck lint install-check test-python

all: build

# The programs a user runs; the tests and benchmarks are built by `make test` and `make bench`.
# Each first installs the Debian packages it lacks (checks/setup.sh; silent when none).
build:
	checks/setup.sh build
	cmake --preset default
	cmake --build --preset programs

test:
	checks/setup.sh test
	cmake --workflow --preset default

# The menu program on the 12-city example (it reads the instance files there and writes nothing).
run: build
	cd examples/small && ../../build/default/dispersao

clean:
	rm -rf build

# Installs the programs in PREFIX/bin and the README and examples in PREFIX/share/doc/dispersao.
PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix "$(PREFIX)"

# A Debian package of the same files, left in build/default.
package: build
	cd build/default && cpack

# The quality and point benchmarks first, then instances of 50 to 4,000 cities generated under
# build/bench/instancias and the program measured against its literal baseline there; not part
# of `make test`.
bench: bench-quality bench-points
	cmake --preset bench
	cmake --build --preset bench -j 2
	mkdir -p build/bench/instancias
	build/bench/bench/dispersao-bench build/bench/dispersao-gerar build/bench/instancias

# Exact optimum against the annealing over 20 seeds, then the exact companion's time on a
# 4,000-city instance against a straightforward version of it.
bench-quality:
	cmake --preset quality
	cmake --build --preset quality -j 2
	build/quality/bench/dispersao-qualidade bench/data 20
	bench/time_exact.sh build/quality

# dispersao-exato on the 40 point sets with published optima at p = 3, 5 and 10 (limits 600 s,
# 600 s, 300 s), on random sets of 10^5, 10^6 and 10^7 points at p = 3 and on a menu program
# instance of 1,000 cities at p = 5; then p = 1,000 and 4,096 of 10^6 points beside the plain
# greedy, and clustered sets of 10^6 and 10^7 points (bench/large_p_benchmark.cpp). A subset:
#   make bench-points BENCH_POINTS_INSTANCES="rw1621 u1817" BENCH_POINTS_P="5" BENCH_POINTS_RANDOM=-
# The whole published table, 60 s per pair, marked against it (docs/tabela-publicada.md):
#   make bench-points BENCH_POINTS_P="5 10 15 20" BENCH_POINTS_LIMIT=60 BENCH_POINTS_RANDOM=- \
#       BENCH_POINTS_MENU=-
bench-points:
	cmake --preset bench
	cmake --build --preset bench -j 2
	build/bench/bench/dispersao-bench-pontos build/bench/dispersao-exato \
	    build/bench/dispersao-gerar bench/data/points build/bench/pontos \
	    build/bench/dispersao-gerar
	nice build/bench/bench/dispersao-bench-p-grande build/bench/dispersao-exato \
	    build/bench/dispersao-gerar build/bench/bench/dispersao-guloso build/bench/pontos

# The heuristics alone on published sets, one thread, no limit: value, selection digest and time
# of each run. Run it on two builds one after the other to compare them on the same work:
#   make bench-heuristics BENCH_HEURISTIC_PAIRS="pr2392:15 rl5934:20" BENCH_HEURISTIC_RUNS=5
bench-heuristics:
	cmake --preset bench
	cmake --build --preset bench -j 2 --target dispersao-bench-heuristica
	build/bench/bench/dispersao-bench-heuristica bench/data/points build/bench/pontos

# The matrix engine against brute force on random 40 x 40 matrices, and dispersao-exato --matriz
# on MDPLIB's GKD-c (n = 500) at p = 3 to 20 and at p = 50 within 10 s, and on a random CSV
# matrix of 2,000 rows, each beside the farthest-first greedy.
bench-matrix:
	cmake --preset bench
	cmake --build --preset bench -j 2
	build/bench/bench/dispersao-bench-matriz build/bench/dispersao-exato bench/data \
	    build/bench/matriz

# Hardening checks; each configures and builds its own preset.
sanitize:
	checks/sanitize.sh

fuzz:
	checks/fuzz.sh

memcheck:
	checks/memcheck.sh

lint:
	checks/lint.sh

install-check:
	checks/install.sh

# The Python package installed with pip into build/python-venv, and its tests run there.
test-python:
	checks/python.sh
