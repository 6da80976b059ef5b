# Shell helpers shared by the display tests; sourced, not run.

# ended PID SECONDS: true once process PID (a child of the test) has exited within
# SECONDS; its exit status is then in $rc.
ended() {
    local i
    for ((i = 0; i < $2 * 10; i++)); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"
            rc=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# own_window W H: a window of the test's own ($X window), kept alive through fd 4 until the
# test closes it; its id (decimal) in $win, xtool's pid in $xt. Needs $X and $dir.
own_window() {
    rm -f "$dir/in" "$dir/id"
    mkfifo "$dir/in"
    "$X" window "$1" "$2" <"$dir/in" >"$dir/id" &
    xt=$!
    exec 4>"$dir/in"
    local i
    for ((i = 0; i < 100; i++)); do [ -s "$dir/id" ] && break; sleep 0.1; done
    win=$(cat "$dir/id")
}

# until_ok SECONDS COMMAND...: true once COMMAND succeeds, tried every 0.1 s for SECONDS
# (whole seconds).
until_ok() {
    local i n=$(($1 * 10))
    shift
    for ((i = 0; i < n; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# grows FILE SECONDS: true once FILE has content and grows further within SECONDS: a sink
# written in real time is being played into.
grows() {
    local i first=0 n=$(($2 * 10))
    for ((i = 0; i < n; i++)); do
        first=$(stat -c %s "$1" 2>/dev/null || echo 0)
        [ "$first" -gt 0 ] && break
        sleep 0.1
    done
    for (( ; i < n; i++)); do
        [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$first" ] && return 0
        sleep 0.1
    done
    return 1
}

# renderer PID: the renderer started by front end PID, waited for; its pid in $r.
renderer() {
    local i
    for ((i = 0; i < 100; i++)); do
        r=$(pgrep -P "$1" -x Orbilon.dll) && return 0
        sleep 0.1
    done
    return 1
}
