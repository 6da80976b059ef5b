#!/usr/bin/env bash
# The README's picture of the composition is what the docs-pictures target draws, within the
# small differences a renderer or scaler release brings.
set -u
B=$ORBILON_BUILD
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT
"$src/tools/still/make-docs-pictures.sh" "$B" "$out" --composition || { echo "FAIL: drawing"; exit 1; }
"$B/tests/image-compare" "$out/orbilon.png" "$src/docs/orbilon.png" ||
  { echo "FAIL: docs/orbilon.png is not what the docs-pictures target draws"; exit 1; }
