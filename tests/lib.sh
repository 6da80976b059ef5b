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
