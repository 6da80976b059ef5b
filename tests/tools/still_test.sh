#!/usr/bin/env bash
# orbilon-still needs no display, writes the requested size, and shows coloured beads on black.
set -u
b=${ORBILON_BUILD:?}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

env -u DISPLAY -u WAYLAND_DISPLAY "$b/orbilon-still" 7 1500 320 200 "$out/still.png" ||
  fail "orbilon-still failed"
read -r w h black coloured < <("$b/tests/image-stats" "$out/still.png") || fail "unreadable PNG"
[ "$w $h" = "320 200" ] || fail "size $w x $h"
[ "$black" -ge 60 ] || fail "only $black% black"
[ "$coloured" -ge 100 ] || fail "only $coloured coloured pixels"

# Zero steps: nothing has moved yet, the frame is black.
"$b/orbilon-still" 7 0 64 48 "$out/zero.png" || fail "zero frames failed"
read -r w h black coloured < <("$b/tests/image-stats" "$out/zero.png")
[ "$black" -eq 100 ] || fail "zero frames not black"

# Bad arguments: usage, status 2, nothing written.
for args in "" "7 10 0 48 $out/x.png" "7 10 64 9000 $out/x.png" "-1 10 64 48 $out/x.png" \
            "7 10 64 48"; do
  # shellcheck disable=SC2086
  "$b/orbilon-still" $args 2>/dev/null
  [ $? -eq 2 ] || fail "arguments '$args' accepted"
done
[ -e "$out/x.png" ] && fail "wrote a file for bad arguments"
"$b/orbilon-still" 7 10 64 48 /nonexistent-dir/x.png 2>/dev/null && fail "unwritable path"
echo "ok: still"
