#!/usr/bin/env bash
# bench-wayland.sh BUILD FRAMES: frames per second and CPU per frame of Orbilon.dll on one
# 1920x1080 output of a headless sway (pixman compositing, Mesa llvmpipe; sway's own CPU is not
# counted), beside the X11
# renderer on an Xvfb of the same size, both timed by the same preloaded swap counter in this
# run. sway refuses root: as root it runs as nobody (tests/wayland/wayland_lib.sh).
set -u
cd "$(dirname "$0")/.."
B=$(realpath "${1:-build}")
FRAMES=${2:-300}
export ORBILON_BUILD=$B
. tests/lib.sh
. tests/wayland/wayland_lib.sh
dir=$(mktemp -d)
chmod 755 "$dir"
sway_pid=
cleanup() {
    [ -n "$sway_pid" ] && pkill -P "$sway_pid" 2>/dev/null
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
setup_user
cp "$B/libswap-count.so" "$dir/bin/"
# The output's refresh paces the frames: far above what the renderer reaches, so the figure is
# the renderer's and the compositor's cost, not the refresh rate.
printf 'xwayland disable\noutput HEADLESS-1 mode 1920x1080@1000Hz position 0 0\n' >"$dir/home/config"
chmod 644 "$dir/home/config"
user WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=1 \
    sway -c "$dir/home/config" >"$dir/out/sway.log" 2>&1 &
sway_pid=$!
wait_socket || { echo "sway did not start"; exit 0; }

echo "-- Wayland (sway headless, one 1920x1080 output)"
user SWAP_COUNT_FRAMES="$FRAMES" LD_PRELOAD="$dir/bin/libswap-count.so" \
    "$dir/bin/Orbilon.dll" 2>&1 | grep -E '^(frames|cpu_ms)' | tee "$dir/out/wayland"
echo "-- X11 (Xvfb 1920x1080)"
tests/with-xvfb.sh 1920x1080x24 env SWAP_COUNT_FRAMES="$FRAMES" \
    LD_PRELOAD="$B/libswap-count.so" "$B/Orbilon.dll" 2>&1 | grep -E '^(frames|cpu_ms)' |
    tee "$dir/out/x11"
fps() { sed -n 's/^frames=.* fps=\([0-9.]*\).*/\1/p' "$1"; }
w=$(fps "$dir/out/wayland") x=$(fps "$dir/out/x11")
if [ -n "$w" ] && [ -n "$x" ]; then
    r=$(awk -v a="$w" -v b="$x" 'BEGIN { printf "%.2f", a / b }')
    awk -v v="$r" 'BEGIN { printf "Wayland fps / X11 fps = %s: %s (target >= 0.8)\n", v,
                           (v >= 0.8) ? "reached" : "NOT reached" }'
fi
exit 0
