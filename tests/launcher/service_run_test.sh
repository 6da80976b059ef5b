#!/usr/bin/env bash
# Runs as the screen-saver services start us (--root with $XSCREENSAVER_WINDOW, --window-id),
# on a private display with the stand-in renderer, which fills the window it is given.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'exec 4>&- 2>/dev/null; kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"
cp "$B/tests/fake-renderer" "$dir/Orbilon.dll"
scr=$dir/Orbilon.scr
failed=0
fail() { echo "FAIL: $*"; failed=1; }
export XDG_RUNTIME_DIR=$dir/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

# ignores_term PID: SIGTERM is in the process's ignored set.
ignores_term() {
    local mask
    mask=$(sed -n 's/^SigIgn:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
    [ -n "$mask" ] && (((16#$mask >> 14) & 1))
}
# target PID: the window the renderer PID was given.
target() { tr '\0' '\n' <"/proc/$1/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p'; }
# term PID WHAT: SIGTERM, then the front end must be gone within a second (two, on a busy
# machine), killed by that signal, its renderer with it.
term() {
    local t0=$(date +%s%N) ms
    kill -TERM "$1"
    ended "$1" 5 || { fail "$2: did not end on SIGTERM"; kill -9 "$1"; return; }
    ms=$((($(date +%s%N) - t0) / 1000000))
    echo "   $2: ended ${ms} ms after SIGTERM"
    [ "$ms" -le 2000 ] || fail "$2: took ${ms} ms to end"
    [ "$rc" = 143 ] || fail "$2: status $rc, not death by SIGTERM"
    [ -z "${r:-}" ] || ! kill -0 "$r" 2>/dev/null || fail "$2: renderer $r runs on"
}
# A tone long enough (14 s) that its file only grows while it plays.
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$dir/tone.mp3" || fail "cannot make the test MP3"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/tone.mp3" \
    | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
sink() { echo "wavenc ! filesink sync=true location=$dir/$1.wav"; }
size() { stat -c %s "$dir/$1.wav" 2>/dev/null || echo 0; }
# playing NAME...: how many of the named sinks are growing now.
playing() {
    local n=0 a=() i=0 s
    for s in "$@"; do a+=("$(size "$s")"); done
    sleep 1.5
    for s in "$@"; do [ "$(size "$s")" -gt "${a[i]}" ] && n=$((n + 1)); i=$((i + 1)); done
    echo $n
}

echo "== --root draws into the service's window with music; input is not ours; SIGTERM ends all"
own_window 400 300
XSCREENSAVER_WINDOW=$(printf '0x%x' "$win") ORBILON_AUDIO_SINK=$(sink root) "$scr" 4>&- --root & p=$!
renderer $p || fail "root: no renderer"
[ "$(target "$r")" = "$(printf '0x%X' "$win")" ] || fail "root: renderer target $(target "$r")"
[ -z "$("$X" find Orbilon_Main)" ] || fail "root: the host shows the single-instance title"
sleep 1
"$X" key space; "$X" button 1; "$X" move 10 10; "$X" move 300 200
sleep 0.5
kill -0 $p 2>/dev/null || fail "root: ended on input"
[ "$(playing root)" = 1 ] || fail "root: no music"
term $p root
[ "$(playing root)" = 0 ] || fail "root: music goes on after SIGTERM"

echo "== --root without a window of the service's: the root window"
(unset XSCREENSAVER_WINDOW; exec "$scr" 4>&- --root) & p=$!
renderer $p || fail "bare root: no renderer"
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
[ "$(target "$r")" = "$(printf '0x%X' "$root")" ] || fail "bare root: target $(target "$r"), not $root"
term $p "bare root"

echo "== /s stays itself beside a service run"
XSCREENSAVER_WINDOW=$win "$scr" 4>&- -root & p=$!
renderer $p || fail "beside: no renderer"
XSCREENSAVER_WINDOW=$win "$scr" 4>&- /s & s=$!
"$X" wait Orbilon_VC 20 >/dev/null || fail "beside: /s did not run"
renderer $s && [ -z "$(target "$r")" ] || fail "beside: /s passed the service's window on"
"$X" key space
ended $s 10 || fail "beside: /s did not end on a key"
renderer $p; term $p beside

echo "== several runs on one display (one per monitor): every one runs, one plays"
ids=()
for m in 1 2 3; do
    # Each window lives as long as the sleep that feeds its xtool.
    sleep 30 | "$X" window 200 150 >"$dir/w$m" &
    for ((i = 0; i < 100; i++)); do [ -s "$dir/w$m" ] && break; sleep 0.1; done
    XSCREENSAVER_WINDOW=$(cat "$dir/w$m") ORBILON_AUDIO_SINK=$(sink m$m) "$scr" 4>&- --root & ids+=($!)
done
until_ok 20 compgen -G "$dir/m[123].wav" >/dev/null || fail "monitors: no music starts"
n=0
for p in "${ids[@]}"; do renderer $p && n=$((n + 1)); done
[ $n = 3 ] || fail "monitors: $n of 3 renderers run"
[ "$(playing m1 m2 m3)" = 1 ] || fail "monitors: not exactly one music stream"
for p in "${ids[@]}"; do renderer $p; term $p monitor; done

echo "== a restarted run takes the music over from the one ending"
own_window 200 150
XSCREENSAVER_WINDOW=$win ORBILON_AUDIO_SINK=$(sink old) "$scr" 4>&- --root & old=$!
renderer $old
grows "$dir/old.wav" 20 || fail "restart: the first run plays nothing"
kill -TERM $old
XSCREENSAVER_WINDOW=$win ORBILON_AUDIO_SINK=$(sink new) "$scr" 4>&- --root & p=$!
grows "$dir/new.wav" 20 || fail "restart: the new run plays nothing"
renderer $p; term $p restart
wait $old 2>/dev/null

echo "== --window-id: the animation in the pane, no music; SIGTERM ends it"
own_window 320 240
ORBILON_AUDIO_SINK=$(sink pane) "$scr" 4>&- --window-id "$win" & p=$!
renderer $p || fail "pane: no renderer"
[ "$(target "$r")" = "$(printf '0x%X' "$win")" ] || fail "pane: renderer target $(target "$r")"
sleep 1
[ "$(playing pane)" = 0 ] || fail "pane: music plays"
term $p pane

echo "== a destroyed window ends the renderer and the run quietly"
own_window 320 240
XSCREENSAVER_WINDOW=$win "$scr" 4>&- --root 2>"$dir/err" & p=$!
renderer $p || fail "destroyed: no renderer"
exec 4>&-
ended $p 10 || fail "destroyed: the run did not end"
[ "${rc:-}" = 0 ] && [ ! -s "$dir/err" ] || fail "destroyed: status $rc, '$(cat "$dir/err")'"

echo "== a renderer that fails or crashes: one line and a failure status"
own_window 320 240
for code in 3 -11; do
    XSCREENSAVER_WINDOW=$win FAKE_RENDERER_EXIT=$code "$scr" 4>&- --root 2>"$dir/err" & p=$!
    ended $p 10 || fail "crash $code: the run did not end"
    [ "$rc" != 0 ] && [ "$(wc -l <"$dir/err")" = 1 ] || fail "crash $code: status $rc, '$(cat "$dir/err")'"
    echo "   $(cat "$dir/err")"
done

echo "== a renderer deaf to SIGTERM is killed"
XSCREENSAVER_WINDOW=$win FAKE_RENDERER_IGNORE_TERM=1 "$scr" 4>&- --root & p=$!
renderer $p || fail "deaf: no renderer"
until_ok 10 ignores_term "$r" || fail "deaf: the renderer does not ignore SIGTERM"
term $p deaf
exec 4>&-

echo "== window ids that do not parse or name no window: one line, status 1"
for args in "--root:zero" "--root:0" "--root:0x7ffffff0" "--window-id 0x7ffffff0:" \
    "--window-id:" "--window-id pane:" "--window-id=:"; do
    XSCREENSAVER_WINDOW=${args#*:} "$scr" 4>&- ${args%%:*} 2>"$dir/err" & p=$!
    ended $p 10 || fail "'$args' did not end"
    [ "$rc" = 1 ] && [ "$(wc -l <"$dir/err")" = 1 ] || fail "'$args': status $rc, '$(cat "$dir/err")'"
done
[ -z "$(pgrep -f "$dir/Orbilon.dll")" ] || fail "a bad window id started a renderer"

echo "== MATE's way: an environment of five variables, no runtime folder"
own_window 320 240
env -i DISPLAY="$DISPLAY" HOME="$dir" PATH="$PATH" XAUTHORITY="${XAUTHORITY:-}" LANG=C.UTF-8 \
    XSCREENSAVER_WINDOW=$win "$scr" 4>&- --root & p=$!
renderer $p || fail "mate: no renderer"
[ "$(target "$r")" = "$(printf '0x%X' "$win")" ] || fail "mate: renderer target $(target "$r")"
run=/run/user/$(id -u)
if [ -d "$run" ] && [ "$(stat -c %u "$run")" = "$(id -u)" ]; then
    tr '\0' '\n' <"/proc/$r/environ" | grep -qx "XDG_RUNTIME_DIR=$run" \
        || fail "mate: XDG_RUNTIME_DIR not restored"
fi
term $p mate
exec 4>&-

if grep -q XSCREENSAVER_WINDOW "$B/Orbilon.dll" 2>/dev/null; then
    echo "== --window-id with the real renderer: the composition moves in the pane"
    cp "$B/Orbilon.dll" "$dir/Orbilon.dll.new" && mv -f "$dir/Orbilon.dll.new" "$dir/Orbilon.dll"
    own_window 320 240
    "$scr" 4>&- --window-id "$win" & p=$!
    renderer $p || fail "real pane: no renderer"
    sleep 4
    "$X" screenshot "$dir/a.png" "$win"; sleep 1; "$X" screenshot "$dir/b.png" "$win"
    [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/b.png" "$ORBILON_SHOTS/pane.png"
    a=$("$B/tests/image-stats" "$dir/a.png" 0 0 320 240)
    b=$("$B/tests/image-stats" "$dir/b.png" 0 0 320 240)
    [ "$(echo "$b" | cut -d' ' -f5)" != -1 ] || fail "real pane: nothing drawn ($b)"
    [ "$a" != "$b" ] || fail "real pane: the picture stands still"
    term $p "real pane"
    exec 4>&-
fi

echo "== no display: one line and status 1 for every switch, no abort"
for sw in /s /c "/p 1" /a "" --root "--window-id 0x400001"; do
    for disp in unset :31999; do
        if [ $disp = unset ]; then
            (unset DISPLAY; exec "$scr" 4>&- $sw) 2>"$dir/err"
        else
            DISPLAY=$disp "$scr" 4>&- $sw 2>"$dir/err"
        fi
        rc=$?
        [ "$rc" = 1 ] && [ "$(wc -l <"$dir/err")" = 1 ] \
            || fail "no display ($disp) '$sw': status $rc, '$(cat "$dir/err")'"
    done
done

exit $failed
