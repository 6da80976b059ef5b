#!/usr/bin/env bash
# mutter_test.sh CASE: Orbilon under GNOME's compositor, mutter, headless (no layer shell: the
# full-screen xdg_toplevel path), in a D-Bus session of its own. Mutter has no input devices and
# no screenshot service without gnome-shell: build/tests/mutter-remote types keys through its
# remote-desktop API and casts a monitor through its screen-cast API into PipeWire, where
# GStreamer's pipewiresrc takes a frame. Its desktop is coloured, so black edges in a frame
# show a surface that covers the whole monitor. Cases:
#   renderer  Orbilon.dll covers the monitor with beads; a key ends it with status 0
#   frontend  Orbilon.scr /s with no X server: the renderer covers the monitor; a key ends the
#             renderer and then the host, status 0
#   outputs   two virtual monitors of mutter's screen casts, each covered; the one with the
#             keyboard focus removed, the run goes on moving on the other; the last one removed
#             ends it with status 0
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

# One monitor of mutter's own; outputs come and go through screen casts of virtual monitors.
monitor=(--virtual-monitor 1280x720)
[ "$1" = outputs ] && monitor=()
# The session bus's address reaches the test through a file the session's first program writes.
user dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/bus" &&
    exec mutter --headless --wayland --no-x11 "$@" --wayland-display=wayland-orbilon' \
    sh "${monitor[@]}" >"$dir/out/mutter.log" 2>&1 &
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
until_ok 10 grep -q '^ready' "$dir/out/remote" || { fail "no remote session: $(cat "$dir/out/remote")"; exit 1; }
key() { echo "key 30" >&5; }

# shot [CONNECTOR]: a frame of the monitor (Meta-0) in $dir/out/shot.png, through a cast of its
# own: a stream gives its frames to one consumer.
shot() {
    local n i node
    rm -f "$dir/out/shot.png"
    n=$(grep -c '^node' "$dir/out/remote")
    echo "cast ${1:-Meta-0}" >&5
    for ((i = 0; i < 100; i++)); do
        [ "$(grep -c '^node' "$dir/out/remote")" -gt "$n" ] && break
        sleep 0.1
    done
    node=$(awk '/^node/ { n = $2 } END { print n }' "$dir/out/remote")
    user timeout 10 gst-launch-1.0 -q pipewiresrc path="$node" num-buffers=1 ! videoconvert ! \
        pngenc ! filesink location="$dir/out/shot.png" >/dev/null 2>&1
}
stats() { "$B/tests/image-stats" "$dir/out/shot.png" "$@"; }

# edges: the percentage of black in the 10 pixels along each of the shot's four edges (top,
# bottom, left, right).
edges() {
    local w h r
    read -r w h _ < <(stats) || return 1
    for r in "0 0 $w 10" "0 $((h - 10)) $w 10" "0 0 10 $h" "$((w - 10)) 0 10 $h"; do
        # shellcheck disable=SC2086
        stats $r | cut -d' ' -f3
    done
}
# edges_black: at least 90 % black along each edge.
edges_black() {
    local e n=0
    for e in $(edges); do
        [ "$e" -ge 90 ] 2>/dev/null || return 1
        n=$((n + 1))
    done
    [ "$n" = 4 ]
}

# covered [CONNECTOR]: true once a frame of the monitor (Meta-0) shows coloured beads and
# black edges, within 30 s (a cast may take seconds on a loaded machine). Mutter's desktop is
# coloured, and a window it maps zooms in from smaller: only a surface covering the whole
# monitor gives black edges.
covered() {
    local end=$((SECONDS + 30))
    while [ "$SECONDS" -lt "$end" ]; do
        shot "$@" && [ "$(stats | cut -d' ' -f4)" -gt 50 ] 2>/dev/null && edges_black && return 0
        sleep 0.5
    done
    return 1
}

# plug WxH: a virtual monitor of that size, there as long as its stream has a consumer; the
# stream's node in $node, the monitor's connector in $connector.
plug() {
    local i n m
    n=$(grep -c '^node' "$dir/out/remote")
    m=$(grep -c 'Added virtual monitor' "$dir/out/mutter.log")
    echo virtual >&5
    for ((i = 0; i < 100; i++)); do
        [ "$(grep -c '^node' "$dir/out/remote")" -gt "$n" ] && break
        sleep 0.1
    done
    node=$(awk '/^node/ { n = $2 } END { print n }' "$dir/out/remote")
    user gst-launch-1.0 -q pipewiresrc path="$node" \
        ! "video/x-raw,width=${1%x*},height=${1#*x}" ! fakesink >/dev/null 2>&1 &
    others+=($!)
    for ((i = 0; i < 100; i++)); do
        [ "$(grep -c 'Added virtual monitor' "$dir/out/mutter.log")" -gt "$m" ] && break
        sleep 0.1
    done
    connector=$(sed -n 's/.*Added virtual monitor \(.*\)$/\1/p' "$dir/out/mutter.log" | tail -1)
    [ -n "$connector" ] || fail "no monitor for stream $node"
}

case ${1:?} in
    renderer)
        shot && ! edges_black || fail "the desktop's own edges are black: $(stats)"
        start_renderer
        covered || fail "the renderer does not cover the output: $(stats); edges: $(edges)"
        [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/mutter.png"
        running "drawing"
        key
        ends_with_zero "a key typed through mutter"
        ;;
    frontend)
        user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" /s 2>"$dir/out/host-err" &
        host=$!
        covered || fail "the renderer does not cover the output: $(cat "$dir/out/host-err")"
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
    outputs)
        plug 640x480
        a=$node a_connector=$connector
        plug 800x600
        b=$node b_connector=$connector
        start_renderer
        covered "$a_connector" || fail "$a_connector is not covered"
        covered "$b_connector" || fail "$b_connector is not covered"
        # The surface mapped last has the keyboard focus: its output goes first.
        echo "unplug $b" >&5
        sleep 1
        running "an output removed"
        # The remaining output goes on moving.
        covered "$a_connector" && cp "$dir/out/shot.png" "$dir/out/before.png" && sleep 0.5 &&
            covered "$a_connector" && ! cmp -s "$dir/out/shot.png" "$dir/out/before.png" ||
            fail "the remaining output stands still"
        echo "unplug $a" >&5
        ends_with_zero "the last output removed"
        ;;
    *) echo "unknown case $1"; exit 2 ;;
esac
[ "$failed" = 0 ] && echo "PASS: $1"
exit "$failed"
