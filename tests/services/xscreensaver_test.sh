#!/usr/bin/env bash
# Orbilon as the one hack of the real XScreenSaver daemon on a private display, split into
# two RandR monitors: -activate starts one front end and one renderer per monitor, the music
# of Orbilon.ini plays once, and -deactivate ends them all within a second without the
# daemon calling anything crashed. The daemon refuses to run hacks as root, so as root it
# runs as nobody. Uses the real renderer when it can draw into a given window, the stand-in
# otherwise.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; pkill -f "$dir/" 2>/dev/null; rm -rf "$dir"' EXIT
chmod 755 "$dir"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Everything the daemon's user needs lies under $dir, readable by all.
cp "$B/Orbilon.scr" "$dir/"
renderer=$B/Orbilon.dll
grep -q XSCREENSAVER_WINDOW "$renderer" 2>/dev/null || renderer=$B/tests/fake-renderer
cp "$renderer" "$dir/Orbilon.dll"
mkdir -m 777 "$dir/home" "$dir/out"
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$dir/tone.mp3" || fail "cannot make the test MP3"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/tone.mp3" \
    | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
chmod 644 "$dir"/*.ini "$dir"/*.mp3
cat >"$dir/home/.xscreensaver" <<EOC
mode: one
selected: 0
timeout: 0:30:00
cycle: 1:00:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
grabDesktopImages: False
programs: GL: ${HACK_PREFIX:-}$dir/Orbilon.scr --root \\n
EOC
chmod 666 "$dir/home/.xscreensaver"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
# A bare environment, as a session's daemon has; the sink is how the test hears the music.
user() {
    "${as_user[@]}" env -i HOME="$dir/home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        ORBILON_AUDIO_SINK="wavenc ! filesink sync=true location=$dir/out/music.wav" "$@"
}

xrandr --setmonitor left 640/169x480/127+0+0 screen >/dev/null &&
    xrandr --setmonitor right 640/169x480/127+640+0 none >/dev/null ||
    fail "cannot split the screen into two monitors"

user xscreensaver --no-splash --verbose --log "$dir/out/log" & daemon=$!
for ((i = 0; i < 100; i++)); do user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.2; done

fronts() { pgrep -f "^${HACK_PREFIX:-}$dir/Orbilon.scr --root"; }
renderers() { pgrep -f "^$dir/Orbilon.dll"; }
size() { stat -c %s "$dir/out/music.wav" 2>/dev/null || echo 0; }

echo "== -activate: one front end and one renderer per monitor, one music stream"
user xscreensaver-command -activate >/dev/null || fail "activate refused"
for ((i = 0; i < 150; i++)); do [ "$(renderers | wc -l)" -ge 2 ] && break; sleep 0.2; done
sleep 2
f=$(fronts | wc -l); r=$(renderers | wc -l)
[ "$f" = 2 ] && [ "$r" = 2 ] || fail "$f front ends and $r renderers for two monitors"
players=0
for p in $(fronts); do
    ls -l "/proc/$p/fd" 2>/dev/null | grep -q "$dir/out/music.wav" && players=$((players + 1))
done
a=$(size); sleep 1.5; b=$(size)
[ "$players" = 1 ] && [ "$b" -gt "$a" ] || fail "$players music streams, $a then $b bytes"
"$X" screenshot "$dir/out/shot.png" || fail "no screenshot"
[ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/xscreensaver-two-monitors.png"
for x in 0 640; do
    # The composition on each monitor: lit pixels in both halves of the screen.
    mean=$("$B/tests/image-stats" "$dir/out/shot.png" $x 0 640 480 | cut -d' ' -f5)
    [ -n "$mean" ] && [ "$mean" != -1 ] || fail "the monitor at x=$x is all black"
done

echo "== -deactivate: front ends, renderers and music end within a second"
t0=$(date +%s%N)
user xscreensaver-command -deactivate >/dev/null || fail "deactivate refused"
for ((i = 0; i < 50; i++)); do [ -z "$(fronts)$(renderers)" ] && break; sleep 0.05; done
ms=$((($(date +%s%N) - t0) / 1000000))
echo "   everything ended ${ms} ms after -deactivate"
[ -z "$(fronts)$(renderers)" ] || fail "still running 2.5 s after -deactivate: $(fronts) $(renderers)"
[ "$ms" -le 2000 ] || fail "took ${ms} ms to end"
a=$(size); sleep 1
[ "$(size)" = "$a" ] || fail "music plays on after -deactivate"
sleep 0.5
if grep -Ei "crash|abnormal|exited unexpectedly.*Orbilon" "$dir/out/log"; then
    fail "the daemon's log calls the hack crashed"
fi

echo "== a second -activate starts it again"
user xscreensaver-command -activate >/dev/null
for ((i = 0; i < 150; i++)); do [ "$(renderers | wc -l)" -ge 2 ] && break; sleep 0.2; done
[ "$(renderers | wc -l)" = 2 ] || fail "second run: $(renderers | wc -l) renderers"
user xscreensaver-command -deactivate >/dev/null
for ((i = 0; i < 50; i++)); do [ -z "$(fronts)$(renderers)" ] && break; sleep 0.05; done
[ -z "$(fronts)$(renderers)" ] || fail "second run: still running after -deactivate"

user xscreensaver-command -exit >/dev/null 2>&1
ended $daemon 5 || kill $daemon
[ $failed = 0 ] || { echo "--- daemon log"; tail -40 "$dir/out/log"; }
[ -n "${KEEP_LOG:-}" ] && cp "$dir/out/log" "$KEEP_LOG"
exit $failed
