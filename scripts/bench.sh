#!/usr/bin/env bash
# make bench: the renderer's and the host's costs on this machine, with XScreenSaver's gears
# (a bare GLX program) timed the same way in the same run for comparison. Not a test: it
# prints figures and judges them against the targets, but always exits 0 once it has run.
set -u
cd "$(dirname "$0")/.."
B=${ORBILON_BUILD:-build}
GEARS=${GEARS:-/usr/libexec/xscreensaver/gears}
if [ ! -x "$GEARS" ] && ! dpkg-query -W -f='${Status}' xscreensaver-gl 2>/dev/null | grep -q 'ok installed'; then
    echo "installing xscreensaver-gl for gears"
    SUDO=
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        xscreensaver-gl >/dev/null
fi
[ -x "$GEARS" ] || GEARS=/usr/lib/xscreensaver/gears
FRAMES=${BENCH_FRAMES:-300}
XVFB=tests/with-xvfb.sh

verdict() { awk -v v="$1" -v t="$2" -v op="$3" 'BEGIN {
    ok = (op == "<=") ? v <= t : (op == "<") ? v < t : v >= t
    printf "%s (target %s %s)\n", ok ? "reached" : "NOT reached", op, t }'; }

echo "== machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "== model: one frame against the direct curve evaluation (3000 curves, std::pow)"
csv=$("$B/model-benchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only \
      --benchmark_format=csv 2>/dev/null)
median() { grep "^\"$1_median\"" <<<"$csv" | cut -d, -f4; }
frame=$(median BM_Frame) curves=$(median BM_FrameCurves) direct=$(median BM_FrameCurvesDirect)
ratio=$(awk -v a="$frame" -v b="$direct" 'BEGIN { printf "%.3f", a / b }')
echo "model frame ${frame} us; its 3000 curve evaluations ${curves} us; direct evaluation ${direct} us"
echo "model frame / direct evaluation = $ratio: $(verdict "$ratio" 0.15 '<=')"

# renderer-bench and gears on one private display of the given size.
frames() {
    "$B/renderer-bench" frames "$FRAMES"
    echo "-- gears"
    SWAP_COUNT_FRAMES=$FRAMES LD_PRELOAD="$PWD/$B/libswap-count.so" "$GEARS" -root -delay 0 2>&1 |
        grep -E '^(frames|cpu_ms)'
}
for size in 1920x1080 1024x768; do
    echo
    echo "== renderer at $size under Xvfb (Mesa llvmpipe), $FRAMES frames"
    out=$($XVFB "${size}x24" bash -c "$(declare -f frames); B=$B GEARS=$GEARS FRAMES=$FRAMES frames" 2>&1)
    echo "$out"
    ours=$(sed -n '1,/^-- gears/s/.*total=\([0-9.]*\).*/\1/p' <<<"$out" | head -1)
    fps=$(sed -n 's/^frames=.* fps=\([0-9.]*\).*/\1/p' <<<"$out" | head -1)
    theirs=$(sed -n '/^-- gears/,$s/.*total=\([0-9.]*\).*/\1/p' <<<"$out" | head -1)
    if [ -n "$ours" ] && [ -n "$theirs" ]; then
        r=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
        if [ "$size" = 1920x1080 ]; then
            echo "CPU per frame, Orbilon / gears = $r: $(verdict "$r" 0.75 '<=')"
            echo "Orbilon fps = $fps: $(verdict "$fps" 100 '>=')"
        else
            echo "CPU per frame, Orbilon / gears = $r"
        fi
    fi
done

# Milliseconds from spawning to the first buffer swap, gears and Orbilon timed alike by a
# preloaded probe; the median of nine starts each.
echo
echo "== time to first swap at 1920x1080 (median of 9)"
line=$($XVFB 1920x1080x24 "$B/renderer-bench" start 9 2>&1 | grep '^first_swap_ms' | tail -1)
echo "${line:-renderer-bench start printed nothing}"
cpu=$(sed -n 's/.*cpu_over_gears=\(-\{0,1\}[0-9.]*\).*/\1/p' <<<"$line")
wall=$(sed -n 's/.* over_gears=\(-\{0,1\}[0-9.]*\).*/\1/p' <<<"$line")
if [ -n "$cpu" ]; then
    echo "Orbilon - gears: wall $wall ms, CPU $cpu ms: $(verdict "${cpu%.*}" 10 '<=') (CPU)"
fi

echo
echo "== renderer on Wayland beside X11 at 1920x1080, $FRAMES frames"
scripts/bench-wayland.sh "$B" "$FRAMES"

echo
echo "== the host's renderer-window poll with 1000 windows on the display"
$XVFB 1280x1024x24 scripts/bench-host.sh "$B"
exit 0
