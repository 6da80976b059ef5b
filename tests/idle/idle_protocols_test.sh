#!/usr/bin/env bash
# idle_protocols_test.sh: orbilon-idle against a small test server offering the idle protocols,
# for ext_idle_notifier_v1, which newer compositors offer and none here does. Offered both, the
# watcher asks ext_idle_notifier_v1 for the set time; the saver starts once per idle period
# (a saver that ended while the session stays idle is not started again), and again after the
# user's activity and a new idle period. Offered only org_kde_kwin_idle, it uses that one.
# SIGTERM ends the watcher with status 0.
set -u
here=$(dirname "$0")
# shellcheck source=../lib.sh
. "$here/../lib.sh"
B=${ORBILON_BUILD:?}
failed=0
fail() { echo "FAIL: $*"; failed=1; }
dir=$(mktemp -d)
server=
watcher=
cleanup() {
    exec 5>&-
    for p in $watcher $server; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
mkdir -m 700 "$dir/run"
mkdir "$dir/bin" "$dir/home"
cp "$B/orbilon-idle" "$dir/bin/"
# Records its start, then ends by itself, as a saver does when the user is back.
printf '#!/bin/sh\necho "$*" >>"$HOME/starts"\nsleep 0.5\n' >"$dir/bin/Orbilon.scr"
chmod 755 "$dir/bin/Orbilon.scr"
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/run XDG_CONFIG_HOME=$dir/home/.config
"$dir/bin/orbilon-idle" --enable --seconds 2 >/dev/null || fail "--enable failed"
starts() { [ -f "$dir/home/starts" ] && wc -l <"$dir/home/starts" || echo 0; }
starts_are() { [ "$(starts)" = "$1" ]; }

# serve [--kde-only]: the test server, its commands written to descriptor 5, what it prints in
# $dir/server.log; then a watcher connected to it.
serve() {
    rm -f "$dir/home/starts" "$dir/fifo" "$dir/server.log"
    mkfifo "$dir/fifo"
    "$B/tests/fake-idle-compositor" "$@" <"$dir/fifo" >"$dir/server.log" 2>&1 &
    server=$!
    exec 5>"$dir/fifo"
    until_ok 5 test -s "$dir/server.log" || { fail "no test server: $(cat "$dir/server.log")"; exit 1; }
    WAYLAND_DISPLAY=$(head -1 "$dir/server.log") "$dir/bin/orbilon-idle" 2>"$dir/idle-err" &
    watcher=$!
}
# stop: SIGTERM ends the watcher with status 0; the server goes with its input.
stop() {
    kill "$watcher"
    if ended "$watcher" 5; then
        [ "$rc" = 0 ] || fail "SIGTERM: status $rc: $(cat "$dir/idle-err")"
    else
        fail "SIGTERM did not end the watcher"
    fi
    watcher=
    exec 5>&-
    ended "$server" 5 || kill "$server"
    server=
}

echo "== ext_idle_notifier_v1 when offered"
serve
until_ok 5 grep -q '^[a-z]* ' "$dir/server.log"
grep -qx "ext 2000" "$dir/server.log" || fail "asked for: $(tail -n +2 "$dir/server.log")"
until_ok 5 starts_are 1 || fail "no start after the idle time: $(cat "$dir/idle-err")"
grep -qx /s "$dir/home/starts" || fail "the saver's arguments: $(cat "$dir/home/starts")"
# The stand-in has ended; the session is still idle.
sleep 3
starts_are 1 || fail "$(starts) starts in one idle period"
echo active >&5
sleep 1
starts_are 1 || fail "a start before the next idle time"
until_ok 5 starts_are 2 || fail "no start after activity and a new idle period"
stop

echo "== org_kde_kwin_idle alone"
serve --kde-only
until_ok 5 starts_are 1 || fail "no start after the idle time: $(cat "$dir/idle-err")"
grep -qx "kde 2000" "$dir/server.log" || fail "asked for: $(tail -n +2 "$dir/server.log")"
stop

[ "$failed" = 0 ] && echo "PASS"
exit "$failed"
