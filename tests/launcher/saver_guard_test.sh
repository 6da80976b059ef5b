#!/usr/bin/env bash
# The full-screen /s run as the lockers start it: two starts at the same moment give
# one host and one music stream; closed standard streams (xautolock) and SIGTERM or SIGHUP
# (xss-lock) end it cleanly. Uses the stand-in renderer: the race is the front end's.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"
cp "$B/tests/fake-renderer" "$dir/Orbilon.dll"
scr=$dir/Orbilon.scr
failed=0
fail() { echo "FAIL: $*"; failed=1; }
export XDG_RUNTIME_DIR=$dir/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$dir/tone.mp3" || fail "cannot make the test MP3"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/tone.mp3" \
    | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
sink() { echo "wavenc ! filesink sync=true location=$dir/$1.wav"; }
size() { stat -c %s "$dir/$1.wav" 2>/dev/null || echo 0; }
alive() { local n=0 p; for p in "$@"; do kill -0 "$p" 2>/dev/null && n=$((n + 1)); done; echo $n; }

echo "== two /s started together, ten times: one host, one music stream"
for i in 1 2 3 4 5 6 7 8 9 10; do
    rm -f "$dir"/a.wav "$dir"/b.wav "$dir/go"
    # Both wait on one pipe and start the moment it opens.
    mkfifo "$dir/go"
    (read -r <"$dir/go"; ORBILON_AUDIO_SINK=$(sink a) exec "$scr" /s) & a=$!
    (read -r <"$dir/go"; ORBILON_AUDIO_SINK=$(sink b) exec "$scr" /s) & b=$!
    sleep 0.2
    echo go >"$dir/go"
    "$X" wait Orbilon_VC 20 >/dev/null || fail "pair $i: no renderer"
    sleep 1.5
    hosts=$("$X" find Orbilon_Main | wc -l)
    s1=$(($(size a) + $(size b))); n1="$(size a) $(size b)"
    sleep 1
    growing=0
    [ "$(size a)" -gt "${n1% *}" ] && growing=$((growing + 1))
    [ "$(size b)" -gt "${n1#* }" ] && growing=$((growing + 1))
    [ "$hosts" = 1 ] && [ "$(alive $a $b)" = 1 ] && [ "$("$X" find Orbilon_VC | wc -l)" = 1 ] \
        || fail "pair $i: $hosts host windows, $(alive $a $b) hosts alive"
    [ "$growing" = 1 ] || fail "pair $i: $growing music streams"
    "$X" key space
    ended $a 10 && ended $b 10 || fail "pair $i: a host did not end"
    "$X" gone Orbilon_VC 10 || fail "pair $i: the renderer runs on"
done

echo "== /s with stdout and stderr closed (xautolock) runs and ends on a key"
"$scr" /s >&- 2>&- & p=$!
"$X" wait Orbilon_VC 20 >/dev/null || fail "closed: no renderer"
"$X" wait Orbilon_Main 10 >/dev/null || fail "closed: no host"
sleep 0.5
"$X" key space
ended $p 10 || fail "closed: host did not end"
[ "${rc:-1}" = 0 ] || fail "closed: status $rc"

for sig in TERM HUP; do
    echo "== SIG$sig (xss-lock) ends the host, its renderer and its music"
    rm -f "$dir/s.wav"
    ORBILON_AUDIO_SINK=$(sink s) "$scr" /s & p=$!
    "$X" wait Orbilon_VC 20 >/dev/null || fail "$sig: no renderer"
    grows "$dir/s.wav" 20 || fail "$sig: music did not play"
    kill -$sig $p
    ended $p 5 || fail "$sig: host did not end"
    [ "${rc:-1}" = 0 ] || fail "$sig: status $rc"
    "$X" gone Orbilon_VC 2 || fail "$sig: the renderer runs on"
    a=$(size s); sleep 1
    [ "$a" -gt 0 ] && [ "$(size s)" = "$a" ] || fail "$sig: music did not play, or plays on"
done

exit $failed
