#!/usr/bin/env bash
# idle_cli_test.sh ORBILON-IDLE: orbilon-idle's command line without a compositor: --enable and
# --disable and their file, a plain run that ends at once and silently when the user has not
# turned it on or the session is not Wayland, and one-line errors for what it cannot use.
set -u
prog=${1:?}
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# run [VAR=VALUE...] ARGS...: the program in a clean environment with HOME=$t/home; its status
# in $rc, stdout and stderr together in $out.
run() {
    local vars=(HOME="$t/home" PATH=/usr/bin:/bin)
    while [[ ${1:-} == *=* ]]; do vars+=("$1"); shift; done
    out=$(env -i "${vars[@]}" timeout 5 "$prog" "$@" 2>&1)
    rc=$?
}
mkdir "$t/home"
conf=$t/home/.config/orbilon/idle.conf

run
[ "$rc" = 0 ] && [ -z "$out" ] || fail "off, no Wayland: status $rc, '$out'"
run WAYLAND_DISPLAY=wayland-0 --minutes 1
[ "$rc" = 0 ] && [ -z "$out" ] || fail "off, Wayland: status $rc, '$out'"

run --enable --minutes 5
[ "$rc" = 0 ] && grep -qx "seconds=300" "$conf" || fail "--enable --minutes 5: status $rc, '$out'"
grep -q "5 minutes" <<<"$out" || fail "--enable says: $out"
# On, but an X11 session: X11's own services start the saver there.
run DISPLAY=:9
[ "$rc" = 0 ] && [ -z "$out" ] || fail "on, X11: status $rc, '$out'"

echo "seconds=soon" >"$conf"
run WAYLAND_DISPLAY=wayland-0
[ "$rc" = 1 ] && [ "$out" = "orbilon-idle: $conf: line 1: expected seconds=1..86400" ] ||
    fail "a file it cannot read: status $rc, '$out'"
run --disable
[ "$rc" = 0 ] && [ ! -e "$conf" ] || fail "--disable: status $rc, '$out'"

: >"$t/file"
run XDG_CONFIG_HOME="$t/file" --enable
[ "$rc" = 1 ] && [ "$(wc -l <<<"$out")" = 1 ] || fail "an unwritable folder: status $rc, '$out'"

# Alone, without the front end beside it or installed.
cp "$prog" "$t/orbilon-idle"
prog=$t/orbilon-idle
run --enable >/dev/null
run WAYLAND_DISPLAY=wayland-0
[ "$rc" = 1 ] && grep -q "Orbilon.scr is neither beside" <<<"$out" ||
    fail "no front end: status $rc, '$out'"

[ "$failed" = 0 ] && echo PASS
exit "$failed"
