#!/usr/bin/env bash
# The committed preview still is what the preview-still target makes: the JPEG within the small
# differences a renderer or encoder release brings, and the Windows BMP exactly the committed
# JPEG's pixels.
set -u
fail() { echo "FAIL: $*"; exit 1; }
B=$ORBILON_BUILD
src=$(cd "$(dirname "$0")/../.." && pwd)
committed=$src/frontend/launcher/preview
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT

"$src/tools/still/make-preview.sh" "$B/orbilon-still" "$out" || fail "make-preview failed"
"$B/tests/image-compare" "$out/preview.jpg" "$committed/preview.jpg" ||
  fail "preview.jpg is not what the preview-still target draws"

mkdir "$out/bmp" && cp "$committed/preview.jpg" "$out/bmp/"
"$src/tools/still/make-preview.sh" "$B/orbilon-still" "$out/bmp" --bmp || fail "--bmp failed"
cmp -s "$out/bmp/preview.bmp" "$committed/preview.bmp" ||
  fail "preview.bmp is not preview.jpg's pixels; run the preview-still target"
echo "preview still current"
