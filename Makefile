# Entry points: `make run` shows the saver, `make test` runs every test.
.PHONY: all deps build windows windows-package check test test-sanitize test-fuzz test-windows run package bench soak clean

all: build

# ccache, where installed, shares compiled objects between clones and build folders.
CMAKE_LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_LAUNCHER) >/dev/null
	@cmake --build build

# The Windows programs, cross-built with mingw-w64: build-win/Orbilon.dll (the renderer), the
# display-free cores and their tests.
windows: deps
	@cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DORBILON_NATIVE_BUILD=$(CURDIR)/build \
	  $(CMAKE_LAUNCHER) >/dev/null
	@cmake --build build-win

# The unit tests alone: the display-free cores and the offscreen widgets, no display needed.
check: build
	ctest --test-dir build -L unit --output-on-failure -j2

# The Windows release, from the tested programs, stripped: build-win/package/ holds the portable
# zip and the installer (NSIS).
windows-package: windows
	@cmake --build build-win --target windows-package
	@ls -l build-win/package/*.zip build-win/package/*.exe

# Full build (unit + display tests under Xvfb), then the display-free cores again under
# ASan/UBSan, then each fuzzer for a few seconds where clang is present, then the Windows build
# under Wine where mingw-w64 and Wine are present.
test: build
	ctest --test-dir build --output-on-failure -j2
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory test-fuzz
	@$(MAKE) --no-print-directory test-windows

test-sanitize: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBILON_PURE_ONLY=ON -DORBILON_SANITIZE=ON $(CMAKE_LAUNCHER) >/dev/null
	@cmake --build build-asan
	ctest --test-dir build-asan --output-on-failure -j2

test-fuzz: deps
	@scripts/fuzz.sh

# Every Windows test program under Wine in one temporary prefix; each display test on a private
# Xvfb with a wineserver of its own. Now and then a Wine program fails to start at all (status 1
# within milliseconds, no output) while other servers start beside it: a failed test runs once
# more, and a real fault fails both times.
test-windows: deps
	@if command -v x86_64-w64-mingw32-g++ >/dev/null && command -v wine >/dev/null; then \
	  $(MAKE) --no-print-directory windows && \
	    tests/win32/run-tests.sh build-win -j2 --repeat until-pass:2; \
	else \
	  echo "test-windows: no mingw-w64 or Wine here; Windows tests skipped"; \
	fi

run: build
	@scripts/run.sh

# The Debian package build/orbilon_VERSION-1_ARCH.deb, from the same build (stripped copies).
package: build
	@cd build && cpack --config CPackConfig.cmake

# Timings on this machine, outside the tests: the model's frame, frames per second and CPU per
# frame beside XScreenSaver's gears, time to the first swap, and the host's window poll.
bench: build
	@bench/bench.sh

# Not part of the tests: about half an hour of saver runs with music restarting all the
# time, printing memory, open files and threads (SOAK_MINUTES per case, default 10).
soak: build
	@scripts/soak.sh

clean:
	rm -rf build build-asan build-fuzz build-win
