# Entry points: `make run` shows the saver, `make test` runs every test.
.PHONY: all deps build test test-unit test-sanitize test-fuzz run soak clean

all: build

# ccache, where installed, shares compiled objects between clones and build folders.
CMAKE_LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_LAUNCHER) >/dev/null
	@cmake --build build

# Full build (unit + display tests under Xvfb), then the display-free cores again under
# ASan/UBSan, then each fuzzer for a few seconds where clang is present.
test: build
	ctest --test-dir build --output-on-failure -j2
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory test-fuzz

test-sanitize: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBILON_PURE_ONLY=ON -DORBILON_SANITIZE=ON $(CMAKE_LAUNCHER) >/dev/null
	@cmake --build build-asan
	ctest --test-dir build-asan --output-on-failure -j2

test-fuzz: deps
	@scripts/fuzz.sh

run: build
	@scripts/run.sh

# Not part of the tests: about half an hour of saver runs with music restarting all the
# time, printing memory, open files and threads (SOAK_MINUTES per case, default 10).
soak: build
	@scripts/soak.sh

clean:
	rm -rf build build-asan build-fuzz
