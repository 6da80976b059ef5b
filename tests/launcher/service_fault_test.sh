#!/usr/bin/env bash
# Saver runs under faults: a runtime folder the user cannot write, the player killed while
# another monitor's run goes on, a front end killed hard, a run drawn on the root window, too
# few file descriptors, no runtime folder at all. Two --root runs on one display stand for
# two monitors; started as root, the runs are nobody's, as a session's are. Uses the stand-in
# renderer.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
pids=()
trap 'exec 4>&- 2>/dev/null; kill "${pids[@]}" $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
chmod 755 "$dir"
cp "$B/Orbilon.scr" "$dir/"
cp "$B/tests/fake-renderer" "$dir/Orbilon.dll"
scr=$dir/Orbilon.scr
failed=0
fail() { echo "FAIL: $*"; failed=1; }
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$dir/tone.mp3" || fail "cannot make the test MP3"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/tone.mp3" \
    | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
chmod 644 "$dir/Orbilon.ini" "$dir/tone.mp3"
mkdir -m 777 "$dir/out"
mkdir -m 1777 "$dir/tmp"

as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
name=$("${as_user[@]}" id -un)
# A runtime folder of the user's own, and one the user cannot write (root's, or read-only).
mkdir -m 700 "$dir/run"
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$dir/run"
mkdir -m 555 "$dir/foreign"
# "${user[@]}" VAR=VALUE... ARGS...: as the session's user, in a bare environment; an array,
# not a function, so that $! is the program's own pid.
user=("${as_user[@]}" env -i DISPLAY="$DISPLAY" HOME="$dir/out" PATH=/usr/bin:/bin LANG=C.UTF-8
    TMPDIR="$dir/tmp")
sink() { echo "wavenc ! filesink sync=true location=$dir/out/$1.wav"; }
size() { stat -c %s "$dir/out/$1.wav" 2>/dev/null || echo 0; }
# growing NAME...: the named sinks growing now.
growing() {
    local a=() i=0 s
    for s in "$@"; do a+=("$(size "$s")"); done
    sleep 1.5
    for s in "$@"; do [ "$(size "$s")" -gt "${a[i]}" ] && echo "$s"; i=$((i + 1)); done
}
# root_cleared: the corner the stand-in renderer paints shows something else.
root_cleared() { [ "$("$X" pixel 1270 1010)" != "48 96 192" ]; }
# gone PID SECONDS: process PID (not a child of ours) has ended within SECONDS.
gone() {
    local i
    for ((i = 0; i < $2 * 10; i++)); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}
# monitors RUNTIME TAG: two --root runs, each in a window of its own, playing into the sinks
# TAG-m1 and TAG-m2; pids in $m1 $m2.
monitors() {
    local m
    for m in 1 2; do
        # Each window lives as long as the sleep that feeds its xtool.
        sleep 40 | "$X" window 200 150 >"$dir/w$m" &
        for ((i = 0; i < 100; i++)); do [ -s "$dir/w$m" ] && break; sleep 0.1; done
        "${user[@]}" XDG_RUNTIME_DIR="$1" XSCREENSAVER_WINDOW="$(cat "$dir/w$m")" \
            ORBILON_AUDIO_SINK="$(sink "$2-m$m")" "$scr" --root 4>&- &
        pids+=($!)
        eval "m$m=$!"
    done
}
# finish PID...: SIGTERM, and each is gone within five seconds.
finish() {
    local p
    kill -TERM "$@" 2>/dev/null
    for p in "$@"; do gone "$p" 5 || fail "run $p did not end on SIGTERM"; done
}

echo "== a runtime folder the user cannot write: still one music stream for two monitors"
monitors "$dir/foreign" foreign
until_ok 20 compgen -G "$dir/out/foreign-m[12].wav" >/dev/null || fail "unwritable runtime folder: no music"
now=$(growing foreign-m1 foreign-m2)
[ "$(echo "$now" | grep -c .)" = 1 ] || fail "unwritable runtime folder: playing: '$now'"
finish "$m1" "$m2"

echo "== the playing monitor's run killed late: the other one plays from then on"
monitors "$dir/run" run
until_ok 20 compgen -G "$dir/out/run-m[12].wav" >/dev/null || fail "handover: no music"
player=$(growing run-m1 run-m2)
if [ "$player" = run-m1 ]; then dead=$m1 other=run-m2 live=$m2; else dead=$m2 other=run-m1 live=$m1; fi
[ "$(echo "$player" | grep -c .)" = 1 ] || fail "handover: playing before: '$player'"
kill -KILL "$dead"
gone "$dead" 5 || fail "handover: the player did not die"
grows "$dir/out/$other.wav" 10 || fail "handover: the other run did not take the music over"
finish "$live"

echo "== a /s front end killed hard takes its renderer with it"
export XDG_RUNTIME_DIR=$dir/own-run
mkdir -m 700 "$XDG_RUNTIME_DIR"
for sig in KILL QUIT ABRT; do
    (ulimit -c 0; exec "$scr" /s 4>&-) 2>/dev/null & p=$!
    "$X" wait Orbilon_VC 20 >/dev/null || fail "$sig: no renderer window"
    renderer $p || fail "$sig: no renderer"
    kill -$sig $p
    wait $p 2>/dev/null
    gone "$r" 5 || { fail "$sig: the renderer outlives its front end"; kill "$r"; }
    "$X" gone Orbilon_VC 5 || fail "$sig: the renderer's window stays"
done

echo "== a run drawn on the root window leaves no frame behind"
for how in term end; do
    if [ $how = term ]; then
        (unset XSCREENSAVER_WINDOW; FAKE_RENDERER_PAINT_TARGET=1 exec "$scr" --root 4>&-) & p=$!
    else
        root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
        FAKE_RENDERER_PAINT_TARGET=1 FAKE_RENDERER_EXIT=0 FAKE_RENDERER_EXIT_MS=2000 "$scr" --window-id "$root" 4>&- & p=$!
    fi
    renderer $p || fail "root $how: no renderer"
    for ((i = 0; i < 20; i++)); do [ "$("$X" pixel 1270 1010)" = "48 96 192" ] && break; sleep 0.1; done
    [ "$("$X" pixel 1270 1010)" = "48 96 192" ] || fail "root $how: the renderer painted nothing"
    [ $how = term ] && kill -TERM $p
    ended $p 10 || fail "root $how: the run did not end"
    until_ok 5 root_cleared || fail "root $how: the last frame stays on the root (status $rc)"
done

echo "== too few file descriptors: the saver runs without music and says so once"
own_window 320 240
for run in /s --root; do
    rm -f "$dir/out/low.wav"
    (ulimit -n 12; XSCREENSAVER_WINDOW=$win ORBILON_AUDIO_SINK=$(sink low) exec "$scr" $run 4>&-) \
        2>"$dir/err" & p=$!
    renderer $p || fail "ulimit $run: no renderer"
    sleep 2
    kill -0 $p 2>/dev/null || fail "ulimit $run: the front end died"
    [ "$(wc -l <"$dir/err")" = 1 ] || fail "ulimit $run: stderr '$(cat "$dir/err")'"
    echo "   $(head -1 "$dir/err")"
    [ "$(size low)" = 0 ] || fail "ulimit $run: music plays"
    kill -TERM $p
    ended $p 10 || fail "ulimit $run: the run did not end"
    gone "$r" 5 || fail "ulimit $run: the renderer runs on"
done
exec 4>&-

echo "== no runtime folder at all: the run leaves no folder of its own behind"
own_window 320 240
made=$dir/tmp/runtime-$name
"${user[@]}" XSCREENSAVER_WINDOW="$win" "$scr" --root 4>&- & p=$!
pids+=($p)
renderer $p || fail "no runtime folder: no renderer"
[ -d "$made" ] || echo "   (no $made made while running)"
finish $p
[ ! -e "$made" ] || fail "no runtime folder: $made stays"
exec 4>&-

exit $failed
