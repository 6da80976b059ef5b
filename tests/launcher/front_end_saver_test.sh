#!/usr/bin/env bash
# The saver end to end on a private display: Orbilon.scr and a renderer copied into a
# temporary folder. Uses the real renderer when it is built, the stand-in otherwise.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"
renderer=$B/Orbilon.dll
[ -x "$renderer" ] || renderer=$B/tests/fake-renderer
cp "$renderer" "$dir/Orbilon.dll"
scr=$dir/Orbilon.scr
failed=0
fail() { echo "FAIL: $*"; failed=1; }

echo "== /s starts the renderer and a hidden host; a key ends both"
"$scr" /s & host=$!
r=$("$X" wait Orbilon_VC 20) || fail "/s: no renderer window"
id=$("$X" wait Orbilon_Main 10) || fail "/s: no host window"
[ -n "${id:-}" ] && { "$X" info "$id" | grep -q '^mapped=0' || fail "/s: host window is mapped"; }
"$X" focus "$r" 10 || fail "/s: the renderer never took the focus"
"$X" key space
"$X" gone Orbilon_VC 10 || fail "/s: renderer did not end on a key"
ended $host 10 || fail "/s: host did not end after the renderer"
[ "${rc:-1}" = 0 ] || fail "/s: host status $rc"

echo "== empty command line runs the saver"
"$scr" & host=$!
r=$("$X" wait Orbilon_VC 20) || fail "empty: no renderer window"
"$X" wait Orbilon_Main 10 >/dev/null || fail "empty: no host window"
"$X" focus "$r" 10 || fail "empty: the renderer never took the focus"
"$X" key space
ended $host 10 || fail "empty: host did not end"

echo "== /a ends at once without a window"
"$scr" /a & p=$!
ended $p 10 || fail "/a did not end"
[ -z "$("$X" find Orbilon_VC)$("$X" find Orbilon_Main)" ] || fail "/a opened a window"

echo "== a running host or open dialog ends every switch at once"
for title in Orbilon_Main "<Orbilon>"; do
    FAKE_RENDERER_TITLE=$title FAKE_RENDERER_UNMAPPED=1 "$B/tests/fake-renderer" & marker=$!
    "$X" wait "$title" 10 >/dev/null || fail "marker $title did not appear"
    for sw in /s "" /c /p:1 /a; do
        "$scr" $sw & p=$!
        ended $p 10 || fail "'$sw' beside $title did not end"
        [ -z "$("$X" find Orbilon_VC)" ] || fail "'$sw' beside $title started the renderer"
    done
    kill $marker; wait $marker 2>/dev/null
done

echo "== killing the renderer ends the host"
"$scr" /s & host=$!
"$X" wait Orbilon_VC 20 >/dev/null || fail "kill: no renderer window"
child=$(pgrep -P $host | head -1)
[ -n "$child" ] && kill -9 "$child"
ended $host 10 || fail "kill: host did not end when the renderer was killed"

echo "== SIGTERM ends the host and its renderer"
"$scr" /s & host=$!
"$X" wait Orbilon_VC 20 >/dev/null || fail "term: no renderer window"
kill -TERM $host
ended $host 10 || fail "term: host did not end on SIGTERM"
[ "${rc:-1}" = 0 ] || fail "term: host status $rc"
"$X" gone Orbilon_VC 5 || fail "term: the renderer runs on"

echo "== an MP3 set in Orbilon.ini plays during the run and stops at its end"
# The sink writes in real time (sync=true); the file is long enough (14 s) that it only
# grows while it plays, since a restart rewrites it.
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$dir/tone.mp3" || fail "mp3: cannot make the test file"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/tone.mp3" \
    | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
size() { stat -c %s "$dir/out.wav" 2>/dev/null || echo 0; }
for how in key term; do
    rm -f "$dir/out.wav"
    ORBILON_AUDIO_SINK="wavenc ! filesink sync=true location=$dir/out.wav" "$scr" /s & host=$!
    "$X" wait Orbilon_VC 20 >/dev/null || fail "mp3 $how: no renderer window"
    grows "$dir/out.wav" 20 || fail "mp3 $how: no sound during the run ($(size) bytes)"
    if [ $how = key ]; then "$X" key space; else kill -TERM $host; fi
    ended $host 10 || fail "mp3 $how: host did not end"
    a=$(size); sleep 1; b=$(size)
    [ "$b" = "$a" ] || fail "mp3 $how: sound goes on after the end ($a then $b bytes)"
    "$X" gone Orbilon_VC 10 || fail "mp3 $how: the renderer runs on"
done
rm -f "$dir/Orbilon.ini"

echo "== a renderer slow to open its window does not end the saver early"
# A renderer whose window is gone may still be running its exit; copying over a running
# executable fails (ETXTBSY), so the stand-in is renamed into place instead.
cp "$B/tests/fake-renderer" "$dir/Orbilon.dll.new" && mv -f "$dir/Orbilon.dll.new" "$dir/Orbilon.dll" \
    || fail "slow: cannot put the stand-in renderer in place"
FAKE_RENDERER_DELAY_MS=1500 "$scr" /s & host=$!
"$X" wait Orbilon_VC 20 >/dev/null || fail "slow: no renderer window"
kill -0 $host 2>/dev/null || fail "slow: host ended before the renderer's window came"
"$X" key space
ended $host 10 || fail "slow: host did not end"

echo "== a renderer that never opens a window ends the host"
FAKE_RENDERER_NO_WINDOW=1 "$scr" /s & host=$!
ended $host 20 || { fail "no window: host waits on"; kill $host 2>/dev/null; }

echo "== missing renderer: the message, then the end"
rm "$dir/Orbilon.dll"
for sw in /s /a ""; do
    "$scr" $sw & p=$!
    id=$("$X" wait "Orbilon (ScreenSaver)" 20) || fail "missing '$sw': no message box"
    [ -z "$("$X" find Orbilon_Main)" ] || fail "missing '$sw': host loaded"
    kill -0 $p 2>/dev/null || fail "missing '$sw': ended before the message was dismissed"
    sleep 0.3
    "$X" key Return
    ended $p 10 || fail "missing '$sw': did not end after the message"
done

exit $failed
