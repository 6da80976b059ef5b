#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds.
set -eu
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found, fuzzers skipped"
  exit 0
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DORBILON_PURE_ONLY=ON -DORBILON_FUZZ=ON \
  -DORBILON_FUZZ_SECONDS="${ORBILON_FUZZ_SECONDS:-5}" >/dev/null
cmake --build build-fuzz
if ctest --test-dir build-fuzz -N -L fuzz | grep -q 'Total Tests: 0'; then
  echo "fuzz: no fuzz targets"
  exit 0
fi
ctest --test-dir build-fuzz --output-on-failure -L fuzz
