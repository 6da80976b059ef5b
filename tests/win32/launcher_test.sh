#!/usr/bin/env bash
# launcher_test.sh RUNNER BUILD-WIN NATIVE-BUILD: Orbilon.scr under Wine on the private display
# the test runs on: the missing-renderer box, the single-instance rules, the preview inside a
# window of the test's own, and a whole /s run with an MP3 playing, ended by a key. The native
# xtool shoots and presses keys; build-win/wintool makes panes and reads Win32 windows.
set -u
run=$1
bw=$2
b=$3
x=$b/xtool
if [ ! -x "$x" ] || [ ! -x "$b/tests/image-compare" ]; then
  echo "SKIP: no native xtool and image-compare in $b (make build first)"
  exit 77
fi
source "$(dirname "$0")/../lib.sh"
src=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d)
trap 'exec 4>&- 2>/dev/null; kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
wt() { "$run" "$bw/wintool.exe" "$@"; }

mkdir "$dir/alone" "$dir/pair"
cp "$bw/Orbilon.scr" "$dir/alone/"
cp "$bw/Orbilon.scr" "$bw/Orbilon.dll" "$dir/pair/"
caption="Orbilon (ScreenSaver)"

# hold ARGS...: a wintool window (wintool ARGS) alive until fd 4 closes; its handle in $pane.
hold() {
  rm -f "$dir/in" "$dir/id"
  mkfifo "$dir/in"
  wt "$@" <"$dir/in" >"$dir/id" &
  wtp=$!
  exec 4>"$dir/in"
  for _ in $(seq 200); do [ -s "$dir/id" ] && break; sleep 0.1; done
  pane=$(tr -d '\r' <"$dir/id")
}
pane() { hold window "$@"; }

# In a fresh prefix, the windows of the first Win32 program on this display sometimes never
# reach it (seen with the runner's Japanese locale); a throw-away window goes first.
hold window 1 1 "warm up"
"$x" wait "warm up" 20 >/dev/null || echo "note: the first window did not show"
exec 4>&-
wait $wtp

echo "== without Orbilon.dll beside it, /s, /c and /a show the message; closing it ends the run"
for sw in /c /s /a; do
  "$run" "$dir/alone/Orbilon.scr" $sw & p=$!
  "$x" wait "$caption" 90 >/dev/null || fail "$sw: no message box"
  # The title comes with the box's window, its text a moment later.
  for _ in $(seq 50); do
    text=$(wt text "$caption" | tr -d '\r')
    [ -n "$text" ] && break
    sleep 0.2
  done
  [ "$text" = "Orbilon.dll が Orbilon.scr と同じﾌｫﾙﾀﾞに見つかりません！" ] || fail "$sw: box says '$text'"
  [ $sw = /a ] && "$x" screenshot "$dir/box.png" && cp "$dir/box.png" "$bw/tests/missing-renderer.png"
  wt close "$caption"
  ended $p 20 || fail "$sw: the box closed, the process lives on"
done

echo "== a start beside an open dialog or saver host ends at once"
for marker in "<Orbilon>" Orbilon_Main; do
  pane 50 50 "$marker"
  for sw in /s /c "/p $pane" ""; do
    "$run" "$dir/pair/Orbilon.scr" $sw 4>&- & p=$!
    ended $p 20 || fail "'$sw' beside $marker did not end"
  done
  [ -z "$("$x" find Orbilon_VC)" ] || fail "a renderer started beside $marker"
  exec 4>&-
  wait $wtp
done

echo "== /p 0 and a handle of no window end at once"
for args in "/p 0" "/p" "/p 123456789" "/p:abc"; do
  "$run" "$dir/alone/Orbilon.scr" $args & p=$!
  ended $p 20 || fail "'$args' did not end"
done

# Wine shows nothing a process draws into a child of another process's window (its drawing
# surfaces are per process), so the pane's pixels cannot show the preview here: the placement is
# checked as windows, and the still as the preview draws it, in a window of wintool's own.
for size in "152 112" "300 200"; do
  w=${size% *} h=${size#* }
  echo "== a ${w}x$h pane gets the preview as a child filling it; destroying the pane ends it"
  pane $w $h
  "$run" "$dir/alone/Orbilon.scr" /p "$pane" 4>&- & p=$!
  want="Orbilon_R visible=1 left=0 top=0 right=$w bottom=$h"
  for _ in $(seq 100); do
    have=$(wt children "wintool pane" | tr -d '\r')
    [ "$have" = "$want" ] && break
    sleep 0.2
  done
  [ "$have" = "$want" ] || fail "${w}x$h: the pane's children: '$have'"
  kill -0 $p 2>/dev/null || fail "${w}x$h: the preview ended while its pane lives"
  exec 4>&-
  wait $wtp
  ended $p 20 || fail "${w}x$h: the preview outlived its pane"

  echo "== the still, drawn as the preview draws it, fills ${w}x$h"
  hold still "Z:$dir/alone/Orbilon.scr" $w $h
  id=$("$x" wait "wintool still" 30) || fail "no still window"
  ok=0
  for _ in $(seq 30); do
    sleep 0.3
    "$x" screenshot "$dir/shot.png" "$id" || continue
    "$b/tests/image-compare" "$dir/shot.png" "$src/frontend/launcher/preview/preview.jpg" \
      >/dev/null && { ok=1; break; }
  done
  cp "$dir/shot.png" "$bw/tests/preview-${w}x$h.png"
  [ $ok = 1 ] || fail "${w}x$h still: $("$b/tests/image-compare" "$dir/shot.png" \
    "$src/frontend/launcher/preview/preview.jpg")"
  exec 4>&-
  wait $wtp
done

echo "== /s: the renderer runs, the MP3 plays, a key ends the renderer and then the host"
gst-launch-1.0 -q audiotestsrc wave=silence num-buffers=200 ! audio/x-raw,rate=44100,channels=2 \
  ! lamemp3enc ! filesink location="$dir/pair/quiet tone.mp3" || fail "cannot make the test MP3"
printf '[Section]\r\nBGM区分=2\r\nBGMﾘﾋﾟｰﾄ=0\r\nBGMﾌｧｲﾙ=Z:%s\r\n' "$dir/pair/quiet tone.mp3" \
  | tr / '\\' | iconv -f UTF-8 -t CP932 >"$dir/pair/Orbilon.ini"
export ORBILON_MCI_LOG="Z:$dir/mci.log"
"$x" move 500 400
"$run" "$dir/pair/Orbilon.scr" /s & host=$!
"$x" wait Orbilon_VC 90 >/dev/null || fail "/s: no renderer window"
wt find Orbilon_Main >"$dir/host" || fail "/s: no host window"
grep -q "visible=0" "$dir/host" || fail "/s: the host is shown: $(cat "$dir/host")"
sleep 2
# Keys reach the renderer only in the foreground, which the hidden host lets it take.
[ "$(wt foreground | tr -d '\r')" = Orbilon_VC ] || fail "/s: the renderer is not in the foreground"
for sw in /s /c ""; do
  "$run" "$dir/pair/Orbilon.scr" $sw & p=$!
  ended $p 20 || fail "'$sw' during a saver run did not end"
done
[ "$("$x" find Orbilon_VC | wc -l)" = 1 ] || fail "/s: a second renderer started"
kill -0 $host 2>/dev/null || fail "/s: the host ended while the renderer runs"
"$x" key space
"$x" gone Orbilon_VC 30 || fail "/s: the key did not end the renderer"
ended $host 20 || fail "/s: the host outlived the renderer"
[ "${rc:-1}" = 0 ] || fail "/s: host status $rc"
tr -d '\r' <"$dir/mci.log" >"$dir/mci.txt" 2>/dev/null
grep -q "^0	open \"Z:.*quiet tone.mp3\" type MPEGVideo Alias MP3Play	" "$dir/mci.txt" ||
  fail "/s: the MP3 did not open: $(head -3 "$dir/mci.txt")"
grep -q "^0	status MP3Play mode	playing$" "$dir/mci.txt" || fail "/s: never playing"
tail -1 "$dir/mci.txt" | grep -q "^0	close MP3Play	" || fail "/s: not closed at the end"
echo "mci: $(wc -l <"$dir/mci.txt") commands, $(grep -c playing "$dir/mci.txt") playing"

echo "== two /s at the same moment give one host and one renderer"
"$run" "$dir/pair/Orbilon.scr" /s & a=$!
"$run" "$dir/pair/Orbilon.scr" /s & c=$!
"$x" wait Orbilon_VC 90 >/dev/null || fail "pair: no renderer window"
sleep 3
alive=0
for q in $a $c; do kill -0 $q 2>/dev/null && alive=$((alive + 1)); done
[ $alive = 1 ] && [ "$("$x" find Orbilon_VC | wc -l)" = 1 ] ||
  fail "pair: $alive hosts, $("$x" find Orbilon_VC | wc -l) renderers"
"$x" key space
ended $a 30 && ended $c 30 || fail "pair: a host lives on"

echo "== a renderer that cannot start ends the host at once, music stopped"
mkdir "$dir/broken"
cp "$bw/Orbilon.scr" "$dir/pair/Orbilon.ini" "$dir/broken/"
echo "not a program" >"$dir/broken/Orbilon.dll"
rm -f "$dir/mci.log"
"$run" "$dir/broken/Orbilon.scr" /s & host=$!
ended $host 30 || fail "broken: the host waits on"
tr -d '\r' <"$dir/mci.log" | tail -1 | grep -q "^0	close MP3Play	" ||
  fail "broken: the music was not stopped: $(tail -1 "$dir/mci.log")"

echo "== a host closed from outside stops its music and ends; the renderer runs on"
rm -f "$dir/mci.log"
"$run" "$dir/pair/Orbilon.scr" /s & host=$!
"$x" wait Orbilon_VC 90 >/dev/null || fail "close: no renderer window"
sleep 1
wt close Orbilon_Main
ended $host 20 || fail "close: the host did not end"
[ "${rc:-1}" = 0 ] || fail "close: host status $rc"
tail -2 "$dir/mci.log" | tr -d '\r' | cut -f2 | tr '\n' ' ' | grep -qx "stop MP3Play close MP3Play " ||
  fail "close: the music was not stopped: $(tail -2 "$dir/mci.log")"
"$x" find Orbilon_VC >/dev/null || fail "close: the renderer ended with the host"
"$x" key space
"$x" gone Orbilon_VC 30 || fail "close: the renderer runs on after a key"

exit $failed
