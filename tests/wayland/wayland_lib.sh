# shellcheck shell=bash
# Shell helpers for the tests under a headless compositor; sourced, not run. Compositors refuse
# to run as root, so as root everything runs as nobody, with a HOME and an XDG_RUNTIME_DIR
# (0700) of its own under $dir, which the test makes (mode 755) and removes.

# The programs the user runs, copied where nobody can read them.
B=${ORBILON_BUILD:?}
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

setup_user() {
    mkdir -m 755 "$dir/bin"
    cp "$B/Orbilon.dll" "$B/tests/wl-pointer" "$dir/bin/"
    mkdir -m 700 "$dir/run"
    mkdir -m 755 "$dir/home" "$dir/out"
    [ "$(id -u)" = 0 ] && chown nobody:nogroup "$dir/run" "$dir/home" "$dir/out"
}

# user CMD...: CMD as the compositor's user, in its session. Started in the background
# (user CMD &), $! is CMD's own pid.
user() {
    # SWAYSOCK only once sway made its socket: sway takes an empty one as the name to bind,
    # which is one abstract socket shared by every sway started so.
    local sock vars
    sock=$(find "$dir/run" -name "sway-ipc.*.sock" 2>/dev/null | head -1)
    vars=(HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" PATH=/usr/bin:/bin LANG=C.UTF-8
          WAYLAND_DISPLAY="${wl_display:-}")
    [ -n "$sock" ] && vars+=(SWAYSOCK="$sock")
    [ -n "${session_bus:-}" ] && vars+=(DBUS_SESSION_BUS_ADDRESS="$session_bus")
    if [ "$BASH_SUBSHELL" -gt 0 ]; then
        exec "${as_user[@]}" env -i "${vars[@]}" "$@"
    fi
    "${as_user[@]}" env -i "${vars[@]}" "$@"
}

# wait_socket: the compositor's Wayland socket in $wl_display, within 20 s.
wait_socket() {
    local i s
    for ((i = 0; i < 200; i++)); do
        for s in "$dir"/run/wayland-*; do
            case $s in *.lock) continue ;; esac
            [ -S "$s" ] && wl_display=${s##*/} && return 0
        done
        sleep 0.1
    done
    return 1
}

# start_renderer [VAR=VALUE...]: Orbilon.dll in the session, with these variables; its pid in
# $pid, its stderr in $dir/out/err.
start_renderer() {
    user "$@" "$dir/bin/Orbilon.dll" 2>"$dir/out/err" &
    pid=$!
}

# ends_with_zero WHAT: the renderer ends with status 0 within 10 s.
ends_with_zero() {
    if ! ended "$pid" 10; then
        fail "$1 did not end the renderer"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return 1
    fi
    [ "$rc" = 0 ] || fail "$1: the renderer ended with status $rc: $(cat "$dir/out/err")"
}

# devices: a keyboard and a pointer that stay plugged in for the whole test, as a desk's do; a
# client binds them at its start, and a key or motion of a device made on the spot could come
# before the client has bound it. pointer STEP... moves and clicks (wl-pointer's steps).
devices() {
    user wtype -s 600000 x &
    keyboard_pid=$!
    mkfifo -m 644 "$dir/pointer"
    user "$dir/bin/wl-pointer" <"$dir/pointer" &
    pointer_pid=$!
    exec 5>"$dir/pointer"
    sleep 0.5
}
pointer() { echo "$*" >&5; }

# running WHAT: the renderer is still up.
running() {
    kill -0 "$pid" 2>/dev/null || fail "$1 ended the renderer"
}

# start_sway WxH...: sway with these outputs side by side, top edges aligned; their rectangles
# (X Y W H) in rects[].
start_sway() {
    local x=0 i=1 size
    rects=()
    : >"$dir/home/config"
    echo "xwayland disable" >>"$dir/home/config"
    for size in "$@"; do
        echo "output HEADLESS-$i mode $size position $x 0" >>"$dir/home/config"
        rects+=("$x 0 ${size%x*} ${size#*x}")
        x=$((x + ${size%x*}))
        i=$((i + 1))
    done
    chmod 644 "$dir/home/config"
    user WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=$# sway -c "$dir/home/config" >"$dir/out/sway.log" 2>&1 &
    sway_pid=$!
    wait_socket || { fail "sway did not start: $(tail -3 "$dir/out/sway.log")"; exit 1; }
    devices
}
