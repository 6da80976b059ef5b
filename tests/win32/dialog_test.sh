#!/usr/bin/env bash
# dialog_test.sh RUNNER ORBILON.scr WININFO.exe NATIVE-BUILD: "Orbilon.scr /c", the Windows
# settings dialog, under Wine on the private display (96 DPI): "<Orbilon>" with a client area of 479 x 252 as
# GetClientRect reports it (wininfo), the track box and the source-dependent controls;
# choosing the file source, a file, the CD source and a track, then "設定" writes exactly the
# CP932 bytes and ends; "ｷｬﾝｾﾙ" and the close box leave the file as it was; a save that fails
# is reported and keeps the dialog open.
# ORBILON_SHOT=FILE.png keeps a screenshot of the open dialog.
set -u
run=$1
scr=$2
wininfo=$3
b=$4
X=$b/xtool
if [ ! -x "$X" ]; then
  echo "SKIP: no native xtool in $b (make build first)"
  exit 77
fi
source "$(dirname "$0")/../lib.sh"
dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$dir"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cp "$scr" "$dir/Orbilon.scr"
: >"$dir/Orbilon.dll"  # the renderer check only needs a readable file
ini=$dir/Orbilon.ini
cd "$dir" || exit 1

# Its lines end in CR LF, as a Windows console program's do.
info() { "$run" "$wininfo" "<Orbilon>" | tr -d '\r'; }
# child ID FIELD: a field of the dialog's control with that id (the first: a combo box's edit
# has the same id), from the last $facts.
child() { sed -n "/^child id=$1 /{s/.*\<$2=\([^ ]*\).*/\1/p;q}" <<<"$facts"; }

open_dialog() {
  "$run" "$dir/Orbilon.scr" /c &
  pid=$!
  id=$("$X" wait "<Orbilon>" 90) || fail "no window titled <Orbilon>"
  for _ in $(seq 100); do
    "$X" info "$id" | grep -aqx mapped=1 && break
    sleep 0.2
  done
  sleep 1
  facts=$(info) || fail "wininfo found no <Orbilon>"
  read -r ox oy < <(sed -n 's/^origin=//p' <<<"$facts")
}
# click X Y: a left click at a point of the dialog's client area, arriving from beside it
# (the buttons poll the pointer to see it come in).
click() {
  "$X" move $((ox + $1 - 8)) $((oy + $2))
  sleep 0.3
  "$X" move $((ox + $1)) $((oy + $2))
  sleep 0.3
  "$X" button "${3:-1}"
  sleep 0.5
}
# click_child ID: the middle of that control.
click_child() {
  click $(($(child "$1" x) + $(child "$1" w) / 2)) $(($(child "$1" y) + $(child "$1" h) / 2))
}
type_text() {
  local k
  for k in "$@"; do "$X" key "$k"; done
}
ends() {
  ended "$pid" 30 || fail "$1 did not end the dialog"
  pid=
  [ "$rc" -eq 0 ] || fail "exit status $rc after $1"
}

# The panel sits at (12, 16); the choice labels' middles, in client pixels at 96 DPI.
none=(59 98) cd=(69 78) file=(78 118)
repeat=1001 cmd_bgm=1002 cmd_set=1003 cmd_can=1004

# 1. No settings file: the window, its controls as loaded (no source, empty track).
open_dialog
grep -aqx "dpi=96" <<<"$facts" || fail "not 96 DPI: $facts"
grep -aqx "client=479 252" <<<"$facts" || fail "client area: $(grep -a client= <<<"$facts")"
# Centred, one third of the free height down: the free twips rounded, then divided.
read -r wx wy ww wh < <(sed -n 's/^window=//p' <<<"$facts")
want_x=$(((((19200 - ww * 15) / 2) + 7) / 15)) want_y=$(((((15360 - wh * 15) / 3) + 7) / 15))
[ "$wx,$wy" = "$want_x,$want_y" ] || fail "placed at $wx,$wy, not $want_x,$want_y"
[ "$(child $repeat items)" = 31 ] || fail "track box entries: $(child $repeat items)"
[ -n "${ORBILON_SHOT:-}" ] && "$X" screenshot "$ORBILON_SHOT" "$id"
# The shadings: the form dark blue at its top edge and pale lavender at mid height, the panel
# (169 rows from y = 16) palest grey at its middle.
for want in "2 0 0 0 30" "2 126 220 220 250" "440 100 250 250 250"; do
  read -r px py rgb <<<"$want"
  have=$("$X" pixel $((ox + px)) $((oy + py)))
  [ "$have" = "$rgb" ] || fail "shading at $px,$py: $have, not $rgb"
done
# Without a source neither the track box nor "..." works (a Command keeps its enabled state to
# itself: ask it by clicking).
[ "$(child $repeat enabled)" = 0 ] || fail "source 0 leaves the track box enabled"
click_child $cmd_bgm
! "$X" wait "ﾌｧｲﾙを開く" 3 >/dev/null || fail "a disabled ... opened the file dialog"

# 2. The file source (a right click selects as the left does), a file typed into the file
# dialog, then the CD source and track 7: "設定" writes all three keys.
click "${file[@]}" 3
facts=$(info)
[ "$(child $repeat enabled)" = 0 ] || fail "source 2 enables the track box"
click_child $cmd_bgm
"$X" wait "ﾌｧｲﾙを開く" 30 >/dev/null || fail "no file dialog titled ﾌｧｲﾙを開く"
sleep 1
type_text s o n g period m p 3 Return
"$X" gone "ﾌｧｲﾙを開く" 20 || fail "the file dialog did not take the typed name"
click "${cd[@]}"
facts=$(info)
[ "$(child $repeat enabled)" = 1 ] || fail "source 1 leaves the track box disabled"
click_child $repeat
type_text 7
click_child $cmd_set
ends "設定"
[ -f "$ini" ] || fail "設定 wrote no Orbilon.ini"
# The file dialog starts in the current folder, as Wine names it (Z: is the root).
folder="Z:$(tr / '\\' <<<"$dir")"
expected=$(printf '[Section]\r\n\x42\x47\x4d\x8b\xe6\x95\xaa=1\r\n\x42\x47\x4d\xd8\xcb\xdf\xb0\xc4=7\r\n\x42\x47\x4d\xcc\xa7\xb2\xd9=%s\\song.mp3\r\n' "$folder")
[ "$(cat "$ini")" = "$expected" ] || {
  od -c "$ini" >&2
  fail "unexpected Orbilon.ini"
}

# 3. With that file: the CD source and track shown; changes then ｷｬﾝｾﾙ, or the close box,
# leave it byte for byte.
cp "$ini" "$dir/before"
open_dialog
[ "$(child $repeat text)$(child $repeat enabled)" = 71 ] ||
  fail "loaded source 1 and track 7: $facts"
click "${none[@]}"
click_child $cmd_can
ends "ｷｬﾝｾﾙ"
cmp -s "$ini" "$dir/before" || fail "ｷｬﾝｾﾙ changed Orbilon.ini"
open_dialog
click "${file[@]}"
"$X" close "$id"
ends "the close box"
cmp -s "$ini" "$dir/before" || fail "closing the window changed Orbilon.ini"

# 4. A settings file that cannot be written: "設定" says so, and the dialog stays open for a
# retry or a cancel instead of closing as if it had saved.
chmod a-w "$ini"
open_dialog
click_child $cmd_set
"$X" wait "Orbilon (ScreenSaver)" 20 >/dev/null || fail "a failed save said nothing"
"$X" key Return
"$X" gone "Orbilon (ScreenSaver)" 10 || fail "the message did not close"
kill -0 "$pid" 2>/dev/null && [ -n "$("$X" find "<Orbilon>")" ] || fail "a failed save closed the dialog"
click_child $cmd_can
ends "ｷｬﾝｾﾙ after a failed save"
cmp -s "$ini" "$dir/before" || fail "a failed save changed Orbilon.ini"
echo "ok: dialog at $ox,$oy"
