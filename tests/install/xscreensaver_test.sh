#!/usr/bin/env bash
# The installed hack under XScreenSaver's daemon: installed into a staging root, registered
# with the staged orbilon-register, run by the daemon as an ordinary user with a temporary
# HOME, it draws, and it ends with its renderer on -deactivate. Exit 77 (skipped) while the
# front end has no --root run.
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
hack=$r/usr/libexec/xscreensaver/orbilon
# A service run refuses a window id that does not parse; a front end without one ends quietly.
if XSCREENSAVER_WINDOW=nonsense "$hack" --root 2>/dev/null; then
    echo "SKIP: the front end has no --root run yet"
    exit 77
fi

home=$top/home
mkdir -p "$home"
# The user's own settings, then the command the README tells them to run.
printf 'fade:\tFalse\nunfade:\tFalse\nmode:\tone\nselected:\t0\n' >"$home/.xscreensaver"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$home"
HOME=$home "${as_user[@]}" "$r/usr/bin/orbilon-register" >/dev/null || fail "orbilon-register failed"

echo "== the daemon runs the staged hack (its folder first on PATH)"
HOME=$home XDG_CONFIG_HOME=$home/.config PATH=$r/usr/libexec/xscreensaver:$PATH \
    "${as_user[@]}" xscreensaver --no-splash --verbose >"$top/daemon.log" 2>&1 &
daemon=$!
cmd() { HOME=$home "${as_user[@]}" xscreensaver-command "$@" >/dev/null 2>&1; }
for _ in $(seq 50); do cmd -time && break; sleep 0.2; done
cmd -activate || fail "xscreensaver-command -activate"
started=
for _ in $(seq 150); do
    grep -q 'forked "orbilon --root"' "$top/daemon.log" && { started=1; break; }
    sleep 0.2
done
[ -n "$started" ] || fail "the daemon did not start orbilon --root"

# The staged programs running now, as "PID PATH" lines (argv[0] is only "orbilon").
ours() {
    local p exe
    for p in /proc/[0-9]*; do
        exe=$(readlink "$p/exe" 2>/dev/null) || continue
        case $exe in "$r"/usr/libexec/orbilon/*) echo "${p#/proc/} $exe" ;; esac
    done
}

echo "== it draws into the daemon's window"
drawn=
for _ in $(seq 45); do
    sleep 1
    "$X" screenshot "$top/shot.png" >/dev/null 2>&1 || continue
    read -r _ _ black coloured < <("$B/tests/image-stats" "$top/shot.png")
    # The daemon's own window is all black; the first beads are few, small and mostly grey.
    [ "${black:-100}" -lt 100 ] && { drawn=1; break; }
done
[ -n "$drawn" ] || fail "nothing drawn (${black:-?} % black)"
running=$(ours)
grep -q '/Orbilon.scr$' <<<"$running" || fail "the front end is not running"
grep -q '/Orbilon.dll$' <<<"$running" || fail "the renderer is not running beside the front end"

echo "== -deactivate ends the front end and its renderer"
cmd -deactivate || fail "xscreensaver-command -deactivate"
gone=
for _ in $(seq 50); do
    [ -z "$(ours)" ] && { gone=1; break; }
    sleep 0.2
done
[ -n "$gone" ] || fail "still running: $(ours)"
grep -iE 'orbilon.*(crash|exited unexpectedly|signal)' "$top/daemon.log" &&
    fail "the daemon saw the hack fail"

if [ $failed != 0 ]; then
    echo "--- daemon log"
    grep -v '^\s*$' "$top/daemon.log" | tail -40
fi
[ $failed = 0 ] && echo PASS
exit $failed
