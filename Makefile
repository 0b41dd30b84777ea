# The everyday commands; CMake presets do the work.
.PHONY: all deps build test bench run format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

test: deps
	@cmake --preset debug >/dev/null
	@cmake --build --preset debug
	@ctest --preset debug

bench: build
	@build/bin/vantrel-bench

run: build
	@scripts/run-window.sh build/bin/vantrel

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf build
