#!/usr/bin/env bash
# mutter_test.sh CASE: Orbilon under GNOME's compositor, mutter, headless (no layer shell: the
# full-screen xdg_toplevel path), in a D-Bus session of its own. Mutter has no input devices and
# no screenshot service without gnome-shell: build/tests/mutter-remote types keys through its
# remote-desktop API and casts the monitor through its screen-cast API into PipeWire, where
# GStreamer's pipewiresrc takes a frame. Cases:
#   renderer  Orbilon.dll over a window with a blue frame along the output's edges: none of the
#             frame is left to see, the beads are drawn; a key ends it with status 0
#   frontend  Orbilon.scr /s with no X server: the renderer draws; a key ends the renderer and
#             then the host, status 0
set -u
here=$(dirname "$0")
# shellcheck source=../lib.sh
. "$here/../lib.sh"
# shellcheck source=wayland_lib.sh
. "$here/wayland_lib.sh"
dir=$(mktemp -d)
chmod 755 "$dir"
session_pid=
pid=
others=()
cleanup() {
    exec 5>&-
    for p in $pid "${others[@]}"; do kill "$p" 2>/dev/null; done
    # mutter and the bus daemon are dbus-run-session's children.
    [ -n "$session_pid" ] && pkill -P "$session_pid" 2>/dev/null
    [ -n "$session_pid" ] && kill "$session_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
setup_user
cp "$B/tests/mutter-remote" "$B/Orbilon.scr" "$dir/bin/"

# The session bus's address reaches the test through a file the session's first program writes.
user dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/bus" &&
    exec mutter --headless --wayland --no-x11 --virtual-monitor 1280x720 \
        --wayland-display=wayland-orbilon' >"$dir/out/mutter.log" 2>&1 &
session_pid=$!
wait_socket || { fail "mutter did not start: $(tail -3 "$dir/out/mutter.log")"; exit 1; }
session_bus=$(cat "$dir/run/bus")
# PipeWire for the screen casts; WirePlumber links a stream to its consumer.
user pipewire >"$dir/out/pipewire.log" 2>&1 &
others+=($!)
sleep 0.5
user wireplumber >"$dir/out/wireplumber.log" 2>&1 &
others+=($!)

mkfifo -m 644 "$dir/remote"
user "$dir/bin/mutter-remote" <"$dir/remote" >"$dir/out/remote" 2>&1 &
others+=($!)
exec 5>"$dir/remote"
for ((i = 0; i < 100; i++)); do grep -q '^ready' "$dir/out/remote" && break; sleep 0.1; done
grep -q '^ready' "$dir/out/remote" || { fail "no remote session: $(cat "$dir/out/remote")"; exit 1; }
key() { echo "key 30" >&5; }

# shot: a frame of the monitor in $dir/out/shot.png. A cast sends frames as the screen changes,
# so the screen must show something new, as the renderer's does.
shot() {
    local n i node
    rm -f "$dir/out/shot.png"
    n=$(grep -c '^node' "$dir/out/remote")
    echo "cast Meta-0" >&5
    for ((i = 0; i < 100; i++)); do
        [ "$(grep -c '^node' "$dir/out/remote")" -gt "$n" ] && break
        sleep 0.1
    done
    node=$(awk '/^node/ { n = $2 } END { print n }' "$dir/out/remote")
    user timeout 10 gst-launch-1.0 -q pipewiresrc path="$node" num-buffers=1 ! videoconvert ! \
        pngenc ! filesink location="$dir/out/shot.png" >/dev/null 2>&1
}
stats() { "$B/tests/image-stats" "$dir/out/shot.png" "$@"; }

# edges_black: at least 90 % black in the 10 pixels along each of the output's four edges.
edges=("0 0 1280 10" "0 710 1280 10" "0 0 10 720" "1270 0 10 720")
edges_black() {
    local r
    for r in "${edges[@]}"; do
        # shellcheck disable=SC2086
        [ "$(stats $r | cut -d' ' -f3)" -ge 90 ] 2>/dev/null || return 1
    done
}

# drawn: true once a frame shows coloured beads and, with `covered`, black edges (20 s at most).
drawn() {
    local i
    for ((i = 0; i < 20; i++)); do
        if shot && [ "$(stats | cut -d' ' -f4)" -gt 50 ] 2>/dev/null; then
            [ "${1:-}" != covered ] || edges_black && return 0
        fi
        sleep 0.5
    done
    return 1
}

case ${1:?} in
    renderer)
        # weston-fullscreen at the output's size draws a blue frame along its edges.
        user weston-fullscreen -w 1280 -h 720 >/dev/null 2>&1 &
        others+=($!)
        sleep 1
        for ((i = 0; i < 20; i++)); do
            shot && [ "$(stats 0 0 1280 10 | cut -d' ' -f3)" = 0 ] && break
            sleep 0.5
        done
        [ "$(stats 0 0 1280 10 | cut -d' ' -f3)" = 0 ] || fail "the frame under test is not shown"
        start_renderer
        drawn covered || fail "the renderer does not cover the output: $(stats)"
        [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/mutter.png"
        running "drawing"
        key
        ends_with_zero "a key typed through mutter"
        ;;
    frontend)
        user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" /s 2>"$dir/out/host-err" &
        host=$!
        drawn || fail "the renderer shows nothing: $(cat "$dir/out/host-err")"
        pid=$(pgrep -f "^$dir/bin/Orbilon.dll")
        key
        if ended "$host" 10; then
            [ "$rc" = 0 ] || fail "the front end ended with status $rc: $(cat "$dir/out/host-err")"
        else
            fail "the front end did not end after the key"
        fi
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && fail "the renderer is still running"
        pid=
        ;;
    *) echo "unknown case $1"; exit 2 ;;
esac
[ "$failed" = 0 ] && echo "PASS: $1"
exit "$failed"
