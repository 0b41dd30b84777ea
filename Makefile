# The everyday commands; CMake presets do the work.
.PHONY: all deps deps-windows deps-screenshots build package test bench fuzz fuzz-build run \
        windows test-windows windows-package screenshots format clean

# How long `make fuzz` runs each fuzz target, and `make test` (to exercise
# them, not to search).
FUZZ_SECONDS ?= 60
FUZZ_TEST_SECONDS ?= 5

# What packages and archives stamp their files with (the last commit's date),
# so that the same commit builds byte-identical ones.
ifndef SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH := $(shell scripts/source-date-epoch.sh)
endif
export SOURCE_DATE_EPOCH

all: build

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh windows

deps-screenshots:
	@scripts/install-deps.sh screenshots

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

# The .deb lands in build/; the release preset builds it.
package: build
	@cmake --build --preset release --target package

# The package is made first, so that its checks run on a fresh one. A
# skipped test then says why, which ctest does not.
test: deps package fuzz-build
	@cmake --preset debug >/dev/null
	@cmake --build --preset debug
	@scripts/run-fuzz.sh $(FUZZ_TEST_SECONDS)
	@status=0; ctest --preset debug --output-junit test-report.xml || status=$$?; \
	    scripts/skip-reasons.sh build/debug/test-report.xml; exit $$status

fuzz: deps fuzz-build
	@scripts/run-fuzz.sh $(FUZZ_SECONDS)

fuzz-build: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

bench: build
	@build/bin/vantrel-bench

# The window alone: no tests, benchmarks or package.
run: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target vantrel
	@scripts/run-window.sh build/bin/vantrel

# vantrel.exe and vantrel-cli.exe, cross-built with mingw-w64.
windows: deps deps-windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target vantrel vantrel-cli

# What a Windows user downloads, in build/: the portable zip and the installer.
windows-package: deps deps-windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target windows-package

# Every test program built for Windows and run under Wine; the Linux
# vantrel-cli is built too, as the reference for the authored DVD.
test-windows: deps deps-windows
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target vantrel-cli
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@status=0; ctest --preset windows --output-junit test-report.xml || status=$$?; \
	    scripts/skip-reasons.sh build/windows/test-report.xml; exit $$status

# The pictures in docs/, of both windows as they are now: the Qt window and
# vantrel.exe under Wine, each on an X server of its own.
screenshots: deps deps-windows deps-screenshots
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target vantrel
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target vantrel
	@scripts/make-screenshots.sh /tmp/vantrel-shots build/windows/wine-shots build/bin/vantrel \
	    build/windows/bin/vantrel.exe build/authored-dvd docs

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf build
