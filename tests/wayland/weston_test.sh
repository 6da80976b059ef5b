#!/usr/bin/env bash
# Orbilon.dll under weston's headless backend (pixman), which has no layer shell: the full-screen
# xdg_toplevel path. Weston's headless seat has no keyboard or pointer and nothing injects one,
# so no input, and no focus change, can reach the renderer here (the same path's input is tried
# under sway with ORBILON_WAYLAND_SURFACE=toplevel). What is tried: frames keep coming, paced by
# weston's frame callbacks (a swap counter preloaded into the renderer), and a screenshot through
# weston-screenshooter (weston --debug) shows the output covered.
set -u
here=$(dirname "$0")
# shellcheck source=../lib.sh
. "$here/../lib.sh"
# shellcheck source=wayland_lib.sh
. "$here/wayland_lib.sh"
dir=$(mktemp -d)
chmod 755 "$dir"
weston_pid=
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    # weston's own clients (its shell, its keyboard) go with it.
    [ -n "$weston_pid" ] && pkill -P "$weston_pid" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
setup_user
cp "$B/libswap-count.so" "$dir/bin/"

user weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
    --socket=wayland-orbilon --idle-time=0 --debug >"$dir/out/weston.log" 2>&1 &
weston_pid=$!
wait_socket || { fail "weston did not start: $(tail -3 "$dir/out/weston.log")"; exit 1; }

echo "== 60 frames after 5, each asked for by weston"
start_renderer SWAP_COUNT_WARMUP=5 SWAP_COUNT_FRAMES=60 LD_PRELOAD="$dir/bin/libswap-count.so"
if ended "$pid" 30; then
    grep -q '^frames=60 ' "$dir/out/err" && [ "$rc" = 0 ] ||
        fail "no frame count (status $rc): $(cat "$dir/out/err")"
    grep '^frames' "$dir/out/err"
else
    fail "60 frames did not come within 30 s"
    kill "$pid"
fi
pid=

echo "== a screenshot of the covered output"
start_renderer
sleep 3
(cd "$dir/out" && user weston-screenshooter) || fail "no screenshot"
shot=$(ls "$dir"/out/wayland-screenshot-*.png 2>/dev/null | head -1)
if [ -n "$shot" ]; then
    stats=$("$B/tests/image-stats" "$shot" 0 0 1024 768)
    echo "screenshot: $stats"
    # The whole output, with lit pixels: weston's screenshot of an XRGB surface keeps no colour
    # where the X byte is 0, so only the size and some drawing are told.
    [ "$(cut -d' ' -f1,2 <<<"$stats")" = "1024 768" ] && [ "$(cut -d' ' -f5 <<<"$stats")" != -1 ] ||
        fail "the screenshot shows no drawing: $stats"
    [ -n "${ORBILON_SHOTS:-}" ] && cp "$shot" "$ORBILON_SHOTS/weston.png"
fi
running "the screenshot"
[ "$failed" = 0 ] && echo "PASS: weston"
exit "$failed"
