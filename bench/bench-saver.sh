#!/usr/bin/env bash
# bench-saver.sh BUILD: run on a display by bench.sh. A saver run as the user has it
# (Orbilon.scr /s starting Orbilon.dll, no music), paced: its frames per second and the CPU
# both processes use per second; then, over 20 runs, the time from a key press until both
# processes are gone.
set -u
B=$1
X=$B/xtool
MEASURED=${BENCH_SAVER_SECONDS:-10}
RUNS=${BENCH_SAVER_RUNS:-20}
dir=$(mktemp -d)
host=
trap '[ -n "$host" ] && kill $host 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$B/Orbilon.dll" "$dir/"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# start: the saver in the background; its renderer's pid in $renderer once the window is up.
start() {
    "$dir/Orbilon.scr" /s &
    host=$!
    "$X" wait Orbilon_VC 20 >/dev/null || { echo "no renderer window"; exit 1; }
    renderer=$(pgrep -P "$host" | head -1)
}

# Paced: the swap counter in the renderer measures the frames after a 2-second warm-up and
# then ends the renderer (and with it the run); CPU is sampled over the same stretch.
export SWAP_COUNT_WARMUP=120 SWAP_COUNT_FRAMES=$((MEASURED * 60))
LD_PRELOAD="$PWD/$B/libswap-count.so" start 2>"$dir/paced"
unset SWAP_COUNT_WARMUP SWAP_COUNT_FRAMES
sleep 2.5
h0=$(ticks "$host") r0=$(ticks "$renderer") w0=$(date +%s%N)
sleep "$((MEASURED - 1))"
h1=$(ticks "$host") r1=$(ticks "$renderer") w1=$(date +%s%N)
wait "$host" 2>/dev/null
host=
fps=$(sed -n 's/^frames=.* fps=\([0-9.]*\).*/\1/p' "$dir/paced")
echo "paced frames per second: ${fps:-none measured} on a display of unknown refresh (60 Hz taken)"
awk -v v="${fps:-0}" 'BEGIN { print (v >= 59 && v <= 61 ? "reached" : "NOT reached") " (target 60 +- 1)" }'
hz=$(getconf CLK_TCK)
awk -v h=$((h1 - h0)) -v r=$((r1 - r0)) -v hz="$hz" -v ns=$((w1 - w0)) 'BEGIN {
    s = ns / 1e9
    printf "CPU per second, paced: renderer %.0f ms, host %.0f ms, both %.0f ms\n",
           r / hz / s * 1000, h / hz / s * 1000, (r + h) / hz / s * 1000 }'

# Key press to both processes gone; the renderer has drawn a while first.
times=() renderer_times=()
for _ in $(seq "$RUNS"); do
    start
    sleep 1
    t0=$(date +%s%N)
    "$X" key
    while kill -0 "$renderer" 2>/dev/null; do sleep 0.001; done
    t1=$(date +%s%N)
    wait "$host" 2>/dev/null
    times+=($((($(date +%s%N) - t0) / 1000000)))
    renderer_times+=($(((t1 - t0) / 1000000)))
    host=
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "key press to both processes gone, $RUNS runs: median $median ms (all: ${times[*]};"\
     "the renderer alone: ${renderer_times[*]})"
awk -v v="$median" 'BEGIN { print (v <= 100 ? "reached" : "NOT reached") " (target <= 100 ms)" }'
