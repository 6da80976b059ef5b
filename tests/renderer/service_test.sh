#!/usr/bin/env bash
# service_test.sh CASE: Orbilon.dll inside a window named by $XSCREENSAVER_WINDOW, as the
# screen-saver services run it, and its full-screen run over two RandR monitors.
# Waits are generous: the machine may be slow and loaded.
set -u
b=${ORBILON_BUILD:?}
x=$b/xtool
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../lib.sh
. "$here/../lib.sh"
pid=
out=$(mktemp -d)
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  rm -rf "$out"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# stats [X Y W H]: image-stats of a fresh screenshot of $shot_of (the root when empty).
stats() {
  "$x" screenshot "$out/shot.png" ${shot_of:-} || fail "no screenshot"
  "$b/tests/image-stats" "$out/shot.png" "$@" || fail "unreadable screenshot"
}

# beads [X Y W H]: waits until the screenshot (or that part of it) shows coloured beads.
beads() {
  local s
  for _ in $(seq 60); do
    s=$(stats "$@")
    read -r _ _ _ coloured _ <<<"$s"
    [ "$coloured" -ge 300 ] && { echo "$s"; return 0; }
    sleep 1
  done
  fail "no coloured beads in ${*:-the picture}: $s"
}

# own_window W H: a plain window of the test's own in $win; it lives until gone_window.
own_window() {
  coproc parent { "$x" window "$1" "$2"; }
  read -r -t 10 win <&"${parent[0]}" || fail "no window of our own"
}
gone_window() { eval "exec ${parent[1]}>&-"; }

# in_window: the renderer drawing into $win.
in_window() {
  XSCREENSAVER_WINDOW=$(printf '0x%x' "$win") "$b/Orbilon.dll" 2>"$out/err" &
  pid=$!
}

ends_with() {  # ends_with STATUS WHAT
  ended "$pid" 15 || fail "$2 did not end the renderer"
  pid=
  [ "$rc" -eq "$1" ] || fail "$2: exit status $rc, want $1 ($(cat "$out/err" 2>/dev/null))"
}

case ${1:?} in
  window)
    # Drawn into the given window at its size, which it follows; nothing of its own shows up.
    own_window 320 240
    in_window
    shot_of=$win
    beads >/dev/null
    "$x" find Orbilon_VC >/dev/null && fail "the renderer made a window of its own"
    cp "$out/shot.png" "${ORBILON_SHOTS:-$out}/service-window.png" 2>/dev/null
    "$x" info "$win" | grep -qx 'title=xtool parent' || fail "the window was retitled"
    # Grown: the composition moves to the middle of the larger window.
    "$x" resize "$win" 960 720
    for _ in $(seq 30); do
      sleep 1
      read -r _ _ _ coloured cx cy < <(stats 0 0 960 720)
      [ "$coloured" -ge 300 ] && [ "$cx" -gt 300 ] && [ "$cx" -lt 660 ] && [ "$cy" -gt 200 ] &&
        [ "$cy" -lt 520 ] && break
    done
    [ "$cx" -gt 300 ] && [ "$cx" -lt 660 ] && [ "$cy" -gt 200 ] && [ "$cy" -lt 520 ] ||
      fail "resize not followed: beads centred at $cx,$cy of 960x720"
    cp "$out/shot.png" "${ORBILON_SHOTS:-$out}/service-window-resized.png" 2>/dev/null
    # The window's end is the renderer's, quietly.
    gone_window
    ends_with 0 "destroying the window"
    [ -s "$out/err" ] && fail "stderr: $(cat "$out/err")"
    ;;
  signals)
    own_window 200 150
    in_window
    shot_of=$win
    beads >/dev/null
    kill -TERM "$pid"
    ends_with 0 "SIGTERM"
    [ -s "$out/err" ] && fail "stderr after SIGTERM: $(cat "$out/err")"
    # Its parent (the front end, here a shell) gone: it goes too.
    XSCREENSAVER_WINDOW=$win bash -c '"$1" & echo $!; sleep 3' _ "$b/Orbilon.dll" >"$out/pid"
    orphan=$(cat "$out/pid")
    for _ in $(seq 50); do kill -0 "$orphan" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$orphan" 2>/dev/null && { kill "$orphan"; fail "outlived its parent"; }
    # A value that names no window: one line on stderr, status 1.
    for bad in zz 0 "" 0x7ffffff0 "12 34"; do
      XSCREENSAVER_WINDOW=$bad "$b/Orbilon.dll" 2>"$out/err" &
      pid=$!
      ends_with 1 "XSCREENSAVER_WINDOW='$bad'"
      [ "$(wc -l <"$out/err")" -eq 1 ] || fail "'$bad': want one line, got: $(cat "$out/err")"
    done
    ;;
  covered)
    # Nothing drawn while the window is fully covered: the renderer sleeps, then draws again.
    ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
    busy() { local a; a=$(ticks); sleep 3; echo $(($(ticks) - a)); }
    own_window 320 240
    in_window
    shot_of=$win
    beads >/dev/null
    mkfifo "$out/cover"
    "$x" window 400 300 <"$out/cover" >"$out/cover.id" &
    exec 7>"$out/cover"
    for _ in $(seq 50); do [ -s "$out/cover.id" ] && break; sleep 0.1; done
    sleep 1
    t=$(busy)
    [ "$t" -le 10 ] || fail "covered, it still used $t ticks of CPU in 3 s"
    exec 7>&-
    sleep 1
    t=$(busy)
    [ "$t" -gt 10 ] || fail "uncovered, it used only $t ticks in 3 s: not drawing again"
    kill -TERM "$pid"
    ends_with 0 "SIGTERM"
    ;;
  monitors | monitors_wm)
    # One wide screen, two monitors side by side: each shows the whole composition. With the
    # same size they show the same picture; one viewport across both would split it instead.
    # The output itself goes to the left monitor, else its own would span the screen.
    xrandr --setmonitor left 1024/271x768/203+0+0 screen >/dev/null ||
      fail "xrandr --setmonitor"
    xrandr --setmonitor right 1024/271x768/203+1024+0 none >/dev/null
    [ "$(xrandr --listmonitors | head -1)" = "Monitors: 2" ] ||
      fail "monitors: $(xrandr --listmonitors | tr '\n' ' ')"
    if [ "$1" = monitors_wm ]; then
      openbox --sm-disable >/dev/null 2>&1 &
      wm=$!
      sleep 2
    fi
    # Input on either monitor ends it: a key without a manager, a click on the right one with.
    ender="key space"
    [ "$1" = monitors_wm ] && ender="button 1"
    "$x" move 1500 400
    "$b/Orbilon.dll" 2>"$out/err" &
    pid=$!
    id=$("$x" wait Orbilon_VC 20) || fail "no Orbilon_VC window"
    for _ in $(seq 100); do
      "$x" info "$id" | grep -q '^mapped=1' && break
      sleep 0.1
    done
    beads 1024 0 1024 768 >/dev/null
    read -r _ _ _ lc lx ly < <("$b/tests/image-stats" "$out/shot.png" 0 0 1024 768)
    read -r _ _ _ rc rx ry < <("$b/tests/image-stats" "$out/shot.png" 1024 0 1024 768)
    [ "$lc" -ge 300 ] && [ $((lx - rx)) -le 3 ] && [ $((rx - lx)) -le 3 ] &&
      [ $((ly - ry)) -le 3 ] && [ $((ry - ly)) -le 3 ] ||
      fail "halves differ: left $lc coloured around $lx,$ly, right $rc around $rx,$ry"
    cp "$out/shot.png" "${ORBILON_SHOTS:-$out}/$1.png" 2>/dev/null
    "$x" info "$id" | grep -qx 'width=2048' || fail "window: $("$x" info "$id" | tr '\n' ' ')"
    "$x" focus "$id" 10 || fail "the window never took the focus"
    "$x" move 1500 400
    sleep 0.5
    # shellcheck disable=SC2086
    "$x" $ender
    ends_with 0 "$ender"
    ;;
  *) fail "unknown case $1" ;;
esac
echo "ok: $1"
