# Thin driver over the CMake presets; every build product goes under build/.
.PHONY: all build test run clean bench bench-quality bench-points
.PHONY: sanitize fuzz memcheck lint

all: build

build:
	cmake --preset default
	cmake --build --preset default -j 2

test:
	cmake --workflow --preset default

run: build
	cd examples/small && ../../build/default/dispersao

clean:
	rm -rf build

# Generates instances of 50 to 4,000 cities under build/bench/instancias and measures the
# program against its literal baseline there; not part of `make test`.
bench:
	cmake --preset bench
	cmake --build --preset bench -j 2
	mkdir -p build/bench/instancias
	build/bench/bench/dispersao-bench build/bench/bench/dispersao-gerar build/bench/instancias

# Exact optimum against the annealing over 20 seeds, then the exact companion's time on a
# 4,000-city instance against a straightforward version of it.
bench-quality:
	cmake --preset quality
	cmake --build --preset quality -j 2
	build/quality/dispersao-qualidade bench/data 20
	bench/time_exact.sh build/quality

# dispersao-exato on the 40 point sets with published optima at p = 3, 5 and 10 (limits 600 s,
# 600 s, 300 s), on random sets of 10^5, 10^6 and 10^7 points at p = 3 and on a menu program
# instance of 1,000 cities at p = 5. A subset, e.g.:
#   make bench-points BENCH_POINTS_INSTANCES="rw1621 u1817" BENCH_POINTS_P="5" BENCH_POINTS_RANDOM=-
bench-points:
	cmake --preset bench
	cmake --build --preset bench -j 2
	build/bench/bench/dispersao-bench-pontos build/bench/dispersao-exato \
	    build/bench/bench/dispersao-gerar-pontos bench/data/points build/bench/pontos \
	    build/bench/bench/dispersao-gerar

# `make bench` runs the quality and point benchmarks too.
bench: bench-quality bench-points

# Hardening checks; each configures and builds its own preset.
sanitize:
	checks/sanitize.sh

fuzz:
	checks/fuzz.sh

memcheck:
	checks/memcheck.sh

lint:
	checks/lint.sh
