#!/usr/bin/env bash
# The preview inside a foreign parent window on a private display.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
SRC=$(cd "$(dirname "$0")/../.." && pwd)
X=$B/xtool
picture=$SRC/frontend/launcher/preview/preview.jpg
dir=$(mktemp -d)
trap 'exec 4>&- 2>/dev/null; kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"  # no renderer beside it: the preview needs none
scr=$dir/Orbilon.scr
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# parent W H: a parent window kept alive through fd 4; its id in $parent, xtool's pid in $xt.
parent() {
    own_window "$1" "$2"
    parent=$win
}

# The preview is shown once the parent's centre is no longer the parent's own grey.
shown() {
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$("$X" pixel 1 1)" != "64 64 64" ] && return 0
        sleep 0.2
    done
    return 1
}

for size in "152 112" "300 200"; do
    echo "== a ${size/ /x} parent shows the picture"
    parent $size
    "$scr" /p "$parent" 4>&- & p=$!
    shown || fail "${size/ /x}: nothing drawn into the parent"
    sleep 0.5
    "$X" screenshot "$dir/shot.png" "$parent"
    cp "$dir/shot.png" "$B/tests/preview-${size/ /x}.png"
    "$B/tests/image-compare" "$dir/shot.png" "$picture" || fail "${size/ /x}: not the picture"
    kill -0 $p 2>/dev/null || fail "${size/ /x}: preview ended while its parent lives"
    echo "== destroying the parent ends the preview"
    exec 4>&-
    wait $xt
    ended $p 10 || fail "${size/ /x}: preview outlived its parent"
done

echo "== /p 0 and a handle of no window end at once"
for args in "/p 0" "/p" "/p 123456789" "/p:abc"; do
    "$scr" $args & p=$!
    ended $p 10 || fail "'$args' did not end"
done

echo "== an open settings dialog ends a preview request at once"
FAKE_RENDERER_TITLE="<Orbilon>" FAKE_RENDERER_UNMAPPED=1 "$B/tests/fake-renderer" & marker=$!
"$X" wait "<Orbilon>" 10 >/dev/null || fail "marker did not appear"
parent 152 112
"$scr" /p "$parent" 4>&- & p=$!
ended $p 10 || fail "preview beside the dialog did not end"
[ -z "$("$X" find "Preview Window")" ] || fail "preview placed beside the dialog"
exec 4>&-
kill $marker

exit $failed
