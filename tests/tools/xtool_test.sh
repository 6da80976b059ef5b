#!/usr/bin/env bash
# xtool's screenshot and pixel on a 16-bit (5-6-5) screen: channels come out as 0-255, so a
# screenshot looks as bright as the screen does.
set -u
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# #ff8040 is stored as 31/63, 32/63 and 8/31 of full scale.
xsetroot -solid '#ff8040' || fail "xsetroot"
[ "$($X pixel 5 5)" = "255 130 66" ] || fail "pixel gave $($X pixel 5 5)"
$X screenshot "$dir/root.png" || fail "screenshot"
# The PNG stores its rows uncompressed: the scaled colour must repeat in the file.
od -An -tx1 -v "$dir/root.png" | tr -d ' \n' | grep -q 'ff8242ff8242ff8242' ||
    fail "screenshot pixels are not 255 130 66"
echo "xtool test passed"
