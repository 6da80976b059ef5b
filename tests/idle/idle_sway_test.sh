#!/usr/bin/env bash
# idle_sway_test.sh: orbilon-idle under a headless sway 1.7, whose only idle protocol is
# org_kde_kwin_idle. Turned on with a few seconds of idle time, it starts Orbilon.scr /s, whose
# renderer covers the output; a key ends that saver, and the next idle period starts it again.
# A window holding an idle inhibitor (as a video player does) holds it back until it is gone.
# Turned off, a running watcher ends at its next idle period without a start, and a new one
# ends at once.
set -u
here=$(dirname "$0")
# shellcheck source=../lib.sh
. "$here/../lib.sh"
# shellcheck source=../wayland/wayland_lib.sh
. "$here/../wayland/wayland_lib.sh"
dir=$(mktemp -d)
chmod 755 "$dir"
sway_pid=
pid=
keyboard_pid=
pointer_pid=
watcher=
inhibitor=
cleanup() {
    exec 5>&-
    for p in $watcher $inhibitor $keyboard_pid $pointer_pid; do kill "$p" 2>/dev/null; done
    pkill -f "^$dir/bin/Orbilon" 2>/dev/null
    [ -n "$sway_pid" ] && pkill -P "$sway_pid" 2>/dev/null
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
setup_user
cp "$B/Orbilon.scr" "$B/orbilon-idle" "$B/tests/idle-inhibitor" "$dir/bin/"

start_sway 800x600

renderers() { pgrep -fc "^$dir/bin/Orbilon.dll"; }
# saver_shown SECONDS: within that time a renderer runs and the output shows the composition.
saver_shown() {
    local i
    for ((i = 0; i < $1 * 2; i++)); do
        if [ "$(renderers)" -ge 1 ]; then
            user grim "$dir/out/shot.png" 2>/dev/null &&
                [ "$("$B/tests/image-stats" --spread "$dir/out/shot.png" 0 0 800 600 |
                    cut -d' ' -f4)" -gt 50 ] 2>/dev/null && return 0
        fi
        sleep 0.5
    done
    return 1
}
# key_ends_saver: a key ends the renderer and its host.
key_ends_saver() {
    user wtype a
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$(pgrep -fc "^$dir/bin/Orbilon")" = 0 ] && return 0
        sleep 0.1
    done
    fail "a key did not end the saver"
}

echo "== turned on: the saver after 3 idle seconds, once per idle period"
user "$dir/bin/orbilon-idle" --enable --seconds 3 >/dev/null || fail "--enable failed"
user ORBILON_AUDIO_SINK=fakesink "$dir/bin/orbilon-idle" 2>"$dir/out/idle-err" &
watcher=$!
sleep 1
[ "$(renderers)" = 0 ] || fail "the saver started before the idle time"
saver_shown 10 || fail "no saver after the idle time: $(cat "$dir/out/idle-err")"
[ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/idle-sway.png"
# Idle on, with the saver running: no second saver.
sleep 4
[ "$(pgrep -fc "^$dir/bin/Orbilon.scr")" = 1 ] || fail "a second saver host started"
key_ends_saver
saver_shown 10 || fail "no saver after the second idle period"
key_ends_saver

echo "== a window holding an idle inhibitor holds it back"
user "$dir/bin/idle-inhibitor" >"$dir/out/shm.log" 2>&1 &
inhibitor=$!
sleep 7
[ "$(renderers)" = 0 ] && kill -0 "$watcher" 2>/dev/null ||
    fail "the saver started while idle was inhibited: $(cat "$dir/out/shm.log")"
kill "$inhibitor"
wait "$inhibitor" 2>/dev/null
inhibitor=
saver_shown 10 || fail "no saver once the inhibiting window was gone"
key_ends_saver

echo "== turned off: the running watcher ends at its next idle period, a new one at once"
user "$dir/bin/orbilon-idle" --disable >/dev/null || fail "--disable failed"
if ended "$watcher" 10; then
    [ "$rc" = 0 ] || fail "the watcher ended with status $rc: $(cat "$dir/out/idle-err")"
else
    fail "the watcher did not end after --disable"
fi
watcher=
[ "$(renderers)" = 0 ] || fail "the saver started after --disable"
user "$dir/bin/orbilon-idle" --seconds 1 2>"$dir/out/idle-err" &
watcher=$!
if ended "$watcher" 2; then
    [ "$rc" = 0 ] && [ ! -s "$dir/out/idle-err" ] ||
        fail "a watcher that is off: status $rc, $(cat "$dir/out/idle-err")"
else
    fail "a watcher that is off keeps running"
fi
watcher=
sleep 2
[ "$(renderers)" = 0 ] || fail "a watcher that is off started the saver"

[ "$failed" = 0 ] && echo "PASS"
exit "$failed"
