# Thin driver over the CMake presets; every build product goes under build/.
.PHONY: all build test run clean

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
