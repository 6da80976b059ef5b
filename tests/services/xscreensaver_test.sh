#!/usr/bin/env bash
# Orbilon as a user gets it under the real XScreenSaver daemon: installed into a staging root,
# listed by the staged orbilon-register, and run by the daemon as the one hack on a private
# display split into two RandR monitors. -activate starts one front end and one renderer per
# monitor, both monitors show the composition, the music of the user's Orbilon.ini plays once,
# and -deactivate ends them all within two seconds of the daemon's signal, without the daemon
# calling anything crashed; a second -activate starts it again. The daemon refuses to run hacks
# as root, so as root it runs as nobody.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
top=$(mktemp -d)
chmod 755 "$top"
daemon=
cleanup() {
    [ -n "$daemon" ] && kill "$daemon" 2>/dev/null
    kill $(jobs -p) 2>/dev/null
    rm -rf "$top"
}
trap cleanup EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

DESTDIR=$top/root cmake --install "$B" --prefix /usr >/dev/null || { echo "FAIL: install"; exit 1; }
r=$top/root
home=$top/home
out=$top/out
mkdir -p "$home/.config/orbilon" "$out"
# The user's own settings: a looping MP3. The installed programs' folder is not the user's to
# write, so Orbilon.ini lives in the user's configuration folder.
gst-launch-1.0 -q audiotestsrc num-buffers=600 ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc ! filesink location="$top/tone.mp3" || fail "cannot make the test MP3"
chmod 644 "$top/tone.mp3"
printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$top/tone.mp3" |
    iconv -f UTF-8 -t CP932 >"$home/.config/orbilon/Orbilon.ini"
cat >"$home/.xscreensaver" <<'EOC'
mode: one
selected: 0
timeout: 0:30:00
cycle: 1:00:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
grabDesktopImages: False
EOC
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$home" "$out"

# The command the README tells a user to run.
user() {
    "${as_user[@]}" env -i HOME="$home" XDG_CONFIG_HOME="$home/.config" DISPLAY="$DISPLAY" \
        PATH="$r/usr/bin:$r/usr/libexec/xscreensaver:/usr/bin:/bin" LANG=C.UTF-8 \
        ORBILON_AUDIO_SINK="wavenc ! filesink sync=true location=$out/music.wav" "$@"
}
user orbilon-register >/dev/null || fail "orbilon-register failed"
grep -q 'orbilon --root' "$home/.xscreensaver" || fail "orbilon-register listed no hack"

xrandr --setmonitor left 640/169x480/127+0+0 screen >/dev/null &&
    xrandr --setmonitor right 640/169x480/127+640+0 none >/dev/null ||
    fail "cannot split the screen into two monitors"

user xscreensaver --no-splash --verbose --log "$out/log" & daemon=$!
for ((i = 0; i < 100; i++)); do user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.2; done

# The staged programs running now, by executable (argv[0] of the hack is only "orbilon").
ours() {
    find /proc -maxdepth 2 -path '/proc/[0-9]*/exe' -lname "$r/usr/libexec/orbilon/$1" 2>/dev/null |
        cut -d/ -f3
}
fronts() { ours Orbilon.scr; }
renderers() { ours Orbilon.dll; }
size() { stat -c %s "$out/music.wav" 2>/dev/null || echo 0; }
# gfx: the daemon's xscreensaver-gfx now running, which signals the hacks and then exits.
gfx() { sed -n 's/.*pid \([0-9]*\): launched xscreensaver-gfx.*/\1/p' "$out/log" | tail -1; }
# deactivate: -deactivate, then true once no staged program runs within two seconds of the
# daemon's xscreensaver-gfx ending. The daemon alone may take seconds on a loaded machine
# before it signals the hacks; that is its time, not the hacks'.
deactivate() {
    local g t0 i
    g=$(gfx)
    user xscreensaver-command -deactivate >/dev/null || { fail "deactivate refused"; return 1; }
    # Until it is gone, or a zombie the daemon has not reaped yet.
    for ((i = 0; i < 200; i++)); do
        case $(awk '{ print $3 }' "/proc/$g/stat" 2>/dev/null) in
            S | R | D) sleep 0.05 ;;
            *) break ;;
        esac
    done
    t0=$(date +%s%N)
    while [ $((($(date +%s%N) - t0) / 1000000)) -le 2000 ]; do
        [ -z "$(fronts)$(renderers)" ] && break
        sleep 0.05
    done
    [ -z "$(fronts)$(renderers)" ] || return 1
    echo "   everything ended $((($(date +%s%N) - t0) / 1000000)) ms after the daemon's signal"
}

echo "== -activate: one front end and one renderer per monitor, one music stream"
user xscreensaver-command -activate >/dev/null || fail "activate refused"
for ((i = 0; i < 150; i++)); do [ "$(renderers | wc -l)" -ge 2 ] && break; sleep 0.2; done
grep -q 'forked "orbilon --root"' "$out/log" || fail "the daemon did not start orbilon --root"
# Both monitors drawn: the first beads are few, small and mostly grey, so wait for colour.
drawn=0
for ((i = 0; i < 45; i++)); do
    "$X" screenshot "$out/shot.png" >/dev/null 2>&1 || { sleep 1; continue; }
    drawn=0
    for x in 0 640; do
        mean=$("$B/tests/image-stats" "$out/shot.png" $x 0 640 480 | cut -d' ' -f5)
        [ -n "$mean" ] && [ "$mean" != -1 ] && drawn=$((drawn + 1))
    done
    [ $drawn = 2 ] && break
    sleep 1
done
[ $drawn = 2 ] || fail "only $drawn of the two monitors show the composition"
[ -n "${ORBILON_SHOTS:-}" ] && cp "$out/shot.png" "$ORBILON_SHOTS/xscreensaver-two-monitors.png"
f=$(fronts | wc -l) r2=$(renderers | wc -l)
[ "$f" = 2 ] && [ "$r2" = 2 ] || fail "$f front ends and $r2 renderers for two monitors"
players=0
for p in $(fronts); do
    ls -l "/proc/$p/fd" 2>/dev/null | grep -q "$out/music.wav" && players=$((players + 1))
done
grows "$out/music.wav" 10 || fail "no music plays ($(size) bytes)"
[ "$players" = 1 ] || fail "$players music streams"

echo "== -deactivate: front ends, renderers and music end within two seconds"
deactivate || fail "still running 2 s after -deactivate: $(fronts) $(renderers)"
a=$(size); sleep 1
[ "$(size)" = "$a" ] || fail "music plays on after -deactivate"
if grep -Ei "orbilon.*(crash|abnormal|exited unexpectedly|signal)" "$out/log"; then
    fail "the daemon's log calls the hack crashed"
fi

echo "== a second -activate starts it again"
user xscreensaver-command -activate >/dev/null
for ((i = 0; i < 150; i++)); do [ "$(renderers | wc -l)" -ge 2 ] && break; sleep 0.2; done
[ "$(renderers | wc -l)" = 2 ] || fail "second run: $(renderers | wc -l) renderers"
deactivate || fail "second run: still running after -deactivate"

user xscreensaver-command -exit >/dev/null 2>&1
ended $daemon 5 || kill $daemon
daemon=
[ $failed = 0 ] || { echo "--- daemon log"; grep -v '^\s*$' "$out/log" | tail -40; }
exit $failed
