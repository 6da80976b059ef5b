#!/usr/bin/env bash
# idle_mutter_test.sh: orbilon-idle under a headless Mutter, whose only idle source is GNOME's
# IdleMonitor on the session bus. A stand-in for Orbilon.scr records each start. The saver
# starts once the session has idled for the set time, and once only while it stays idle; a
# session manager that inhibits idleness holds it back, one that inhibits something else
# does not. SIGTERM ends the watcher with status 0. Runs as nobody inside dbus-run-session.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../lib.sh
. "$here/../lib.sh"
B=${ORBILON_BUILD:?}
failed=0
fail() { echo "FAIL: $*"; failed=1; }

if [ "${1:-}" != inside ]; then
    dir=$(mktemp -d)
    chmod 755 "$dir"
    trap 'rm -rf "$dir"' EXIT
    mkdir -m 755 "$dir/bin" "$dir/home"
    mkdir -m 700 "$dir/run"
    cp "$B/orbilon-idle" "$B/tests/fake-session-manager" "$dir/bin/"
    # Records its start, then ends by itself, as a saver does when the user is back.
    printf '#!/bin/sh\necho "$*" >>"$HOME/starts"\nsleep 1\n' >"$dir/bin/Orbilon.scr"
    chmod 755 "$dir/bin/Orbilon.scr"
    as_user=()
    if [ "$(id -u)" = 0 ]; then
        chown nobody:nogroup "$dir/run" "$dir/home"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    "${as_user[@]}" env -i HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" PATH=/usr/bin:/bin \
        LANG=C.UTF-8 ORBILON_BUILD="$B" dbus-run-session -- "$here/idle_mutter_test.sh" inside "$dir"
    exit $?
fi

dir=$2
mutter_pid=
watcher=
manager=
cleanup() {
    for p in $watcher $manager $mutter_pid; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
}
trap cleanup EXIT
mutter --headless --wayland --no-x11 --virtual-monitor 640x480 --wayland-display=wl-idle \
    >"$dir/home/mutter.log" 2>&1 &
mutter_pid=$!
until_ok 20 test -S "$dir/run/wl-idle" || { fail "mutter did not start: $(tail -3 "$dir/home/mutter.log")"; exit 1; }
export WAYLAND_DISPLAY=wl-idle
starts() { [ -f "$dir/home/starts" ] && wc -l <"$dir/home/starts" || echo 0; }
one_start() { [ "$(starts)" = 1 ]; }
# watch: a watcher, its pid in $watcher.
watch() {
    rm -f "$dir/home/starts"
    "$dir/bin/orbilon-idle" 2>"$dir/home/idle-err" &
    watcher=$!
}
# stop_watcher: SIGTERM ends it with status 0.
stop_watcher() {
    kill "$watcher"
    if ended "$watcher" 5; then
        [ "$rc" = 0 ] || fail "SIGTERM: status $rc: $(cat "$dir/home/idle-err")"
    else
        fail "SIGTERM did not end the watcher"
    fi
    watcher=
}
# manager FLAGS: a session manager inhibiting those flags, its questions in $dir/home/manager.
manager() {
    "$dir/bin/fake-session-manager" "$1" >"$dir/home/manager" &
    manager=$!
    until_ok 5 grep -qs ready "$dir/home/manager" && return
    fail "the session manager stand-in did not start"
}

echo "== after the idle time, once per idle period"
"$dir/bin/orbilon-idle" --enable --seconds 4 >/dev/null || fail "--enable failed"
# Mutter has been idle since its start, a moment ago; later watches begin past the idle time.
watch
sleep 1
[ "$(starts)" = 0 ] || fail "the saver started before the idle time"
until_ok 10 one_start || fail "no start after the idle time: $(cat "$dir/home/idle-err")"
grep -qx /s "$dir/home/starts" || fail "the saver's arguments: $(cat "$dir/home/starts")"
# The stand-in has ended; the session is still idle.
sleep 4
[ "$(starts)" = 1 ] || fail "$(starts) starts in one idle period"
stop_watcher

echo "== a session manager inhibiting idleness holds it back"
manager 8
watch
sleep 5
[ "$(starts)" = 0 ] || fail "the saver started while idle was inhibited"
grep -qx "IsInhibited 8" "$dir/home/manager" || fail "the watcher did not ask about idleness"
stop_watcher
kill "$manager"
wait "$manager" 2>/dev/null

echo "== one inhibiting only suspend does not"
manager 4
watch
until_ok 5 one_start || fail "no start while only suspend was inhibited"
stop_watcher

[ "$failed" = 0 ] && echo "PASS"
exit "$failed"
