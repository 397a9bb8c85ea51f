# The two commands a person needs: `make run` and `make test`. The rest is for developers.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_RUNS ?= 20000

.PHONY: all deps build run test test-dev test-asan fuzz bench package screenshots format clean

all: build

deps:
	@scripts/install-deps

# Configures and builds the dev preset; build/bin points at its programs.
build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)
	@ln -sfn dev/bin build/bin

# Opens the wizard on build/ravlinDB.mdb with the bundled template library: an unencrypted
# database, or one protected by PASSWORD (make run PASSWORD=secret).
PASSWORD ?=
run: build
	@cd build && bin/rv_makedb $(if $(PASSWORD),-p '$(PASSWORD)') ravlinDB.mdb

# Every test: the dev and asan builds' suites and the fuzzers, each part to its end even when
# another fails; the last line sums them all up ("N passed, N failed"), and the status is 1
# when anything failed (a build that breaks counts as one failed test).
test: deps
	@scripts/run-tests "$(MAKE) --no-print-directory"

test-dev: build
	@ctest --preset dev -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@scripts/run-fuzzers build/fuzz/bin $(FUZZ_RUNS)

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@for b in build/release/bin/bench_*; do echo "== $$b"; "$$b" || exit 1; done

# The Debian packages, build/release/*_VERSION-1_ARCH.deb (and -dbgsym .ddeb), from the
# release preset, then checked as a packager checks them (lintian, hardening-check, nm):
# sudo apt install ./build/release/*.deb
package: deps
	@cmake --preset release >/dev/null
	@rm -f build/release/*.deb build/release/*.ddeb
	@cmake --build --preset release -j $(JOBS) --target package
	@tests/install/debs.sh build/release

# The windows in typical states, rendered off screen into build/screenshots/*.png.
screenshots: build
	@QT_QPA_PLATFORM=offscreen build/bin/rv_screenshots build/screenshots

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
