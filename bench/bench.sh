#!/usr/bin/env bash
# make bench: the renderer's and the host's costs on this machine, with glxgears and
# XScreenSaver's gears (bare GLX programs) timed the same way in the same run for comparison. Not a test: it
# prints figures and judges them against the targets, but always exits 0 once it has run.
set -u
cd "$(dirname "$0")/.."
B=${ORBILON_BUILD:-build}
GEARS=${GEARS:-/usr/libexec/xscreensaver/gears}
command -v glxgears >/dev/null || scripts/install-deps.sh
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

# CPU per frame unpaced at 1920x1080: Orbilon and glxgears -fullscreen taken in turns on one
# private display, three times each, the best of each kept (the machine's load only adds).
frames() {
    for _ in 1 2 3; do
        "$B/renderer-bench" frames "$FRAMES" | sed 's/^/orbilon /'
        SWAP_COUNT_FRAMES=$FRAMES LD_PRELOAD="$PWD/$B/libswap-count.so" vblank_mode=0 \
            glxgears -fullscreen 2>&1 >/dev/null | grep -E '^(frames|cpu_ms)' | sed 's/^/glxgears /'
    done
}
echo
echo "== CPU per frame at 1920x1080 under Xvfb (Mesa llvmpipe), unpaced, $FRAMES frames, best of 3"
out=$($XVFB 1920x1080x24 bash -c "$(declare -f frames); B=$B FRAMES=$FRAMES frames" 2>&1)
echo "$out" | grep cpu_ms
best() { sed -n "s/^$1 cpu_ms.*total=\([0-9.]*\).*/\1/p" <<<"$out" | sort -g | head -1; }
ours=$(best orbilon) theirs=$(best glxgears)
if [ -n "$ours" ] && [ -n "$theirs" ]; then
    r=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
    echo "best: Orbilon $ours ms, glxgears $theirs ms; Orbilon / glxgears = $r: $(verdict "$r" 1 '<=')"
else
    echo "no figure: renderer-bench or glxgears printed nothing"
fi

# The saver as it runs (Orbilon.scr /s and its renderer), paced, and how fast a key ends it.
echo
echo "== saver run at 1920x1080: paced frames, CPU of both processes, end on a key"
$XVFB 1920x1080x24 bench/bench-saver.sh "$B"

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
bench/bench-wayland.sh "$B" "$FRAMES"

echo
echo "== the host's renderer-window poll with 1000 windows on the display"
$XVFB 1280x1024x24 bench/bench-host.sh "$B"
exit 0
