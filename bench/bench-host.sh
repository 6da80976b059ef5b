#!/usr/bin/env bash
# bench-host.sh BUILD: run on a display by bench.sh. Puts 1000 windows on it, then times the
# ways of finding the renderer's window, and measures the real saver host's CPU while a
# stand-in renderer's window stays up.
set -u
B=$1
X=$B/xtool
SECONDS_MEASURED=${BENCH_HOST_SECONDS:-10}
dir=$(mktemp -d)
exec 7> >("$B/many-windows" 1000 >"$dir/ready" 2>/dev/null)
trap 'exec 7>&-; kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -s "$dir/ready" ] && break; sleep 0.1; done

cp "$B/Orbilon.scr" "$dir/"
cp "$B/tests/fake-renderer" "$dir/Orbilon.dll"
"$dir/Orbilon.scr" & host=$!
"$X" wait Orbilon_VC 20 >/dev/null || { echo "no renderer window"; exit 1; }
echo "windows on the display: $(xwininfo -root -tree 2>/dev/null | grep -c '^ *0x' || echo '?')"
"$B/many-windows" 1000 1

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
sleep 1
t0=$(ticks $host) w0=$(date +%s%N)
sleep "$SECONDS_MEASURED"
t1=$(ticks $host) w1=$(date +%s%N)
hz=$(getconf CLK_TCK)
share=$(awk -v t=$((t1 - t0)) -v hz="$hz" -v ns=$((w1 - w0)) \
        'BEGIN { printf "%.2f", t / hz / (ns / 1e9) * 100 }')
echo "saver host (Orbilon.scr) over ${SECONDS_MEASURED} s with its renderer's window up: $share % of a core"
awk -v v="$share" 'BEGIN { print (v < 1 ? "reached" : "NOT reached") " (target < 1 % of a core)" }'

# The host must still notice the window's end at once: the server destroys the window when
# its program dies.
renderer=$(pgrep -P $host | head -1)
t0=$(date +%s%N)
kill -9 "$renderer"
wait $host
echo "host ended $((($(date +%s%N) - t0) / 1000000)) ms after its renderer was killed (poll every 50 ms)"
