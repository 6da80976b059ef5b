#!/usr/bin/env bash
# Soak: saver runs with music that restarts all the time (an MP3 of one second, a looping
# WAV of one second, a CD image repeating a two-second track), each for SOAK_MINUTES
# (default 10). Every SOAK_INTERVAL seconds (default 60) it prints the resident memory,
# open files and threads of the front end and the renderer, and the audio heard; at the
# end of a case the growth per hour, counted from the first minute on. The CD case runs
# under an open-file limit of SOAK_NOFILE (default 64), so leaked sockets stop its music.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${SOAK_DISPLAY_READY:-}" ]; then
    SOAK_DISPLAY_READY=1 exec "$root/tests/with-xvfb.sh" 1024x768x24 "$0" "$@"
fi
B=${ORBILON_BUILD:-$root/build}
minutes=${SOAK_MINUTES:-10}
interval=${SOAK_INTERVAL:-60}
nofile=${SOAK_NOFILE:-64}
X=$B/xtool
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$B/Orbilon.dll" "$dir/"

make_media() {
    local raw="audio/x-raw,format=S16LE,rate=44100,channels=2"
    gst-launch-1.0 -q audiotestsrc num-buffers=43 samplesperbuffer=1024 ! "$raw" \
        ! lamemp3enc ! filesink location="$dir/one.mp3" &&
    gst-launch-1.0 -q audiotestsrc num-buffers=43 samplesperbuffer=1024 ! "$raw" \
        ! wavenc ! filesink location="$dir/one.wav" &&
    # Three tracks of 150 sectors (2 s) each.
    gst-launch-1.0 -q audiotestsrc num-buffers=450 samplesperbuffer=588 ! "$raw" \
        ! filesink location="$dir/disc.bin" || return 1
    printf 'FILE "disc.bin" BINARY\n' >"$dir/disc.cue"
    for t in 1 2 3; do
        printf '  TRACK 0%d AUDIO\n    INDEX 01 00:0%d:00\n' $t $((2 * t - 2)) >>"$dir/disc.cue"
    done
}

# KIND REPEAT FILE: Orbilon.ini in the code page the settings are read in.
write_ini() {
    printf '[Section]\r\nBGM区分=%s\r\nBGMﾘﾋﾟｰﾄ=%s\r\nBGMﾌｧｲﾙ=%s\r\n' "$1" "$2" "$3" \
        | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
}

# PID: resident kB, open files, threads.
probe() {
    local rss thr
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null)
    thr=$(awk '/^Threads:/ {print $2}' "/proc/$1/status" 2>/dev/null)
    echo "${rss:-0} $(ls "/proc/$1/fd" 2>/dev/null | wc -l) ${thr:-0}"
}

per_hour() { awk -v a="$1" -v b="$2" -v s="$3" 'BEGIN { printf "%+.2f", (s > 0 ? (b - a) * 3600 / s : 0) }'; }

run_case() {
    local name=$1 heard=$dir/heard.raw
    echo "== $name: $minutes min, a sample every $interval s"
    rm -f "$heard"
    # The sink appends to a descriptor both programs inherit: a restart flushes the sink,
    # and a file sink would start its file again.
    exec 7>>"$heard"
    ORBILON_AUDIO_SINK="audio/x-raw,format=S16LE,rate=8000,channels=1 ! fdsink sync=true fd=7" \
        "$dir/Orbilon.scr" /s &
    local host=$!
    exec 7>&-
    if ! "$X" wait Orbilon_VC 30 >/dev/null; then
        echo "FAIL: $name: no renderer window"
        kill $host 2>/dev/null
        return 1
    fi
    local renderer
    renderer=$(pgrep -P $host | head -1)
    printf '%6s  %-26s %-26s %s\n' time "front end: RSS kB fds thr" "renderer: RSS kB fds thr" "audio s"
    local t0 first_h="" first_r="" t1=0 h r last=0 now bytes
    t0=$(date +%s)
    while :; do
        sleep "$interval"
        now=$(($(date +%s) - t0))
        kill -0 $host 2>/dev/null || { echo "FAIL: $name: the front end ended"; return 1; }
        h=$(probe $host)
        r=$(probe "${renderer:-0}")
        bytes=$(stat -c %s "$heard")
        printf '%5ds  %-26s %-26s %.1f\n' $now "$h" "$r" "$(awk -v b=$((bytes - last)) 'BEGIN { print b / 16000 }')"
        last=$bytes
        # Growth counts from the first minute on: caches fill during the first one.
        if [ -z "$first_h" ] && { [ $now -ge 60 ] || [ $now -ge $((minutes * 60)) ]; }; then
            first_h=$h first_r=$r t1=$now
        fi
        [ $now -ge $((minutes * 60)) ] && break
    done
    local span=$((now - t1))
    echo "growth per hour after the first minute: front end $(per_hour ${first_h%% *} ${h%% *} $span) kB RSS," \
        "$(per_hour $(echo $first_h | cut -d' ' -f2) $(echo $h | cut -d' ' -f2) $span) files;" \
        "renderer $(per_hour ${first_r%% *} ${r%% *} $span) kB RSS"
    "$X" key space
    "$X" gone Orbilon_VC 10 >/dev/null
    for _ in $(seq 50); do kill -0 $host 2>/dev/null || break; sleep 0.2; done
    kill $host 2>/dev/null
    wait $host 2>/dev/null
}

make_media || { echo "soak: cannot make the test media" >&2; exit 1; }
failed=0
write_ini 2 0 "$dir/one.mp3"
run_case "MP3 of 1 s, restarted by the loop step" || failed=1
write_ini 2 0 "$dir/one.wav"
run_case "WAV of 1 s, looping without a gap" || failed=1
write_ini 1 2 ""
(
    ulimit -n "$nofile"
    export ORBILON_CDROM=$dir/disc.cue
    run_case "CD image repeating its 2-s track 2, open files limited to $nofile"
) || failed=1
exit $failed
