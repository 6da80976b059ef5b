#!/usr/bin/env bash
# make-docs-pictures.sh BUILD FOLDER [--composition]
# Makes the README's pictures in FOLDER:
#   orbilon.png          seed 3 after 4000 frames, drawn offscreen at 1920 x 1080 by orbilon-still
#                        and scaled to 960 x 540
#   settings-dialog.png  the settings dialog of BUILD/Orbilon.scr on a private Xvfb at 96 DPI,
#                        set to repeat the third track of an audio CD
# With --composition only orbilon.png is made. The build's docs-pictures target runs it into docs/.
set -eu
[ $# -ge 2 ] || { echo "usage: make-docs-pictures.sh BUILD FOLDER [--composition]" >&2; exit 2; }
B=$(cd "$1" && pwd) out=$(cd "$2" && pwd)
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT

"$B/orbilon-still" 3 4000 1920 1080 "$tmp/big.png"
gst-launch-1.0 -q filesrc location="$tmp/big.png" ! pngdec ! videoconvert \
  ! videoscale method=lanczos ! video/x-raw,width=960,height=540 ! videoconvert \
  ! pngenc compression-level=9 ! filesink location="$out/orbilon.png"
[ "${3:-}" = --composition ] && exit 0

here=$(cd "$(dirname "$0")" && pwd)
cp "$B/Orbilon.scr" "$B/Orbilon.dll" "$tmp/"
printf '[Section]\r\nBGM区分=1\r\nBGMﾘﾋﾟｰﾄ=3\r\nBGMﾌｧｲﾙ=\r\n' |
  iconv -f UTF-8 -t CP932 >"$tmp/Orbilon.ini"
# shellcheck disable=SC2016
"$here/../../tests/with-xvfb.sh" 800x600x24 bash -c '
  X=$1/xtool; dir=$2
  "$dir/Orbilon.scr" /c & pid=$!
  id=$($X wait "<Orbilon>" 20) || exit 1
  sleep 2  # the opening zoom
  $X screenshot "$3" "$id"; s=$?
  kill $pid; exit $s' _ "$B" "$tmp" "$tmp/dialog.png"
gst-launch-1.0 -q filesrc location="$tmp/dialog.png" ! pngdec ! pngenc compression-level=9 \
  ! filesink location="$out/settings-dialog.png"
