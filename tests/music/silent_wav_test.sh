#!/usr/bin/env bash
# A WAV without audio set as the music: the saver runs in silence at no cost, and a key
# still ends it. Both programs are copied into a temporary folder with Orbilon.ini.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
cp "$B/Orbilon.scr" "$dir/"
renderer=$B/tests/fake-renderer
[ -x "$renderer" ] || renderer=$B/Orbilon.dll
cp "$renderer" "$dir/Orbilon.dll"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# NAME PROMISED: a 16-bit stereo header whose data chunk promises PROMISED bytes, and none.
wav() {
    local le4='\\x%02x\\x%02x\\x%02x\\x%02x'
    le() { printf "$(printf "$le4" $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"; }
    { printf 'RIFF'; le $((36 + $2)); printf 'WAVEfmt '; le 16; le $((1 | 2 << 16)); le 44100
      le $((44100 * 4)); le $((4 | 16 << 16)); printf 'data'; le "$2"; } >"$dir/$1"
}
wav empty-data.wav 0
wav header-only.wav 441000

# PID: clock ticks of CPU time used so far.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

for name in empty-data.wav header-only.wav; do
    echo "== $name"
    printf '[Section]\r\nBGM区分=2\r\nBGMﾘﾋﾟｰﾄ=0\r\nBGMﾌｧｲﾙ=%s\r\n' "$dir/$name" \
        | iconv -f UTF-8 -t CP932 >"$dir/Orbilon.ini"
    ORBILON_AUDIO_SINK="fakesink sync=true" "$dir/Orbilon.scr" /s & host=$!
    "$X" wait Orbilon_VC 20 >/dev/null || fail "$name: no renderer window"
    sleep 1
    a=$(ticks $host)
    sleep 5
    b=$(ticks $host)
    # 5 % of 5 s; a spinning loop takes a whole core.
    hz=$(getconf CLK_TCK)
    [ $((b - a)) -lt $((hz / 4)) ] || fail "$name: the front end used $((b - a)) ticks in 5 s"
    "$X" key space
    ended $host 10 || { fail "$name: a key did not end the saver"; kill $host; }
done
exit $failed
