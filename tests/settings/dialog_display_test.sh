#!/usr/bin/env bash
# The "C" switch on a bare X server (no window manager, 96 DPI): the dialog's window, the
# single-instance guard while it is open, closing without a save, and "設定" saving and ending.
# ORBILON_SHOT=FILE.png keeps a screenshot of the open dialog.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"
: >"$dir/Orbilon.dll"  # the renderer check only needs a readable file
ini=$dir/Orbilon.ini

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
open_dialog() {
    "$dir/Orbilon.scr" /c &
    pid=$!
    id=$($X wait "<Orbilon>" 20) || fail "no window titled <Orbilon>"
    for _ in $(seq 1 100); do
        $X info "$id" | grep -q '^mapped=1' && return 0
        sleep 0.2
    done
    fail "the dialog never appeared"
}
field() { $X info "$id" | sed -n "s/^$1=//p"; }

# 1. The window: 7185 x 3780 twips of client area, centred, one third of the free height down.
$X move 300 200
open_dialog
[ "$(field width)x$(field height)" = 479x252 ] || fail "client area $(field width)x$(field height)"
# (19200 - 7185) \ 2 = 6007 twips -> 400 px; (15360 - 3780) \ 3 = 3860 twips -> 257 px.
[ "$(field x),$(field y)" = 400,257 ] || fail "placed at $(field x),$(field y)"
sleep 1
[ -n "${ORBILON_SHOT:-}" ] && $X screenshot "$ORBILON_SHOT"

# 2. While it is open, another settings or saver start ends at once and opens nothing.
for sw in /c /s; do
    timeout 10 "$dir/Orbilon.scr" $sw
    [ $? -eq 0 ] || fail "$sw beside the dialog did not end at once"
done
[ "$($X find '<Orbilon>' | wc -l)" -eq 1 ] || fail "a second dialog opened"
[ -z "$($X find Orbilon_Main)" ] || fail "a saver host started beside the dialog"

# 3. Closing the window saves nothing and ends the process.
$X close "$id"
ended "$pid" 20 || fail "closing the dialog did not end the process"
[ ! -e "$ini" ] || fail "closing the dialog created $ini"

# 4. "設定" at its place writes the three keys and ends the process.
open_dialog
x=$(($(field x) + 320 + 36)) y=$(($(field y) + 200 + 12))
$X move $((x - 10)) "$y"
sleep 0.3
$X move "$x" "$y"
sleep 0.3
$X button 1
ended "$pid" 20 || fail "clicking 設定 did not end the process"
[ -f "$ini" ] || fail "clicking 設定 wrote no $ini"
# Section, then the keys in CP932 with the loaded defaults.
expected=$(printf '[Section]\r\n\x42\x47\x4d\x8b\xe6\x95\xaa=0\r\n\x42\x47\x4d\xd8\xcb\xdf\xb0\xc4=0\r\n\x42\x47\x4d\xcc\xa7\xb2\xd9=\r\n')
[ "$(cat "$ini")" = "$expected" ] || {
    od -c "$ini" >&2
    fail "unexpected $ini"
}
pid=
echo "dialog display test passed"
