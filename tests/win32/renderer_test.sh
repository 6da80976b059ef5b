#!/usr/bin/env bash
# renderer_test.sh RUNNER ORBILON.DLL NATIVE-BUILD [monitors]: the Windows renderer under Wine
# on the private display the test runs on: its window titled "Orbilon_VC" covers the screen,
# shows coloured beads after a while, and a key, pointer jumps or a button end it with status 0,
# the Win32 messages reaching the shared rules. With "monitors", the display is split into two
# monitors side by side: the window covers both and each shows the whole composition, and a
# click on the second ends it. The native build's xtool drives the display. Waits are
# generous: Wine and the machine may be slow.
set -u
run=$1
dll=$2
b=$3
x=$b/xtool
title=Orbilon_VC
if [ ! -x "$x" ] || [ ! -x "$b/tests/image-stats" ]; then
  echo "SKIP: no native xtool and image-stats in $b (make build first)"
  exit 77
fi
pid=
out=$(mktemp -d)
fail() {
  echo "FAIL: $*" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
trap 'rm -rf "$out"' EXIT
source "$(dirname "$0")/../lib.sh"

read -r width height < <(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print s[1], s[2] }')

# start ARGS...: the renderer in the background with the pointer at ($px, $py), once shown.
px=500 py=400
start() {
  "$x" move "$px" "$py"
  "$run" "$dll" "$@" &
  pid=$!
  id=$("$x" wait "$title" 90) || fail "no $title window"
  # The title comes during creation, before the window is shown.
  for _ in $(seq 100); do
    info=$("$x" info "$id")
    grep -qx mapped=1 <<<"$info" && break
    sleep 0.1
  done
  sleep 1
}

# ends_with_zero WHAT: the renderer exits with status 0 and its window is gone.
ends_with_zero() {
  ended "$pid" 30 || fail "$1 did not end the saver"
  pid=
  [ "$rc" -eq 0 ] || fail "exit status $rc after $1"
  "$x" gone "$title" 10 || fail "$1: window still there"
}

if [ "${4:-}" = monitors ]; then
  # Wine takes its monitors from RandR outputs, and Xvfb has one; through Xinerama, which the
  # server answers from its RandR monitors, it sees the two set here. The output goes to the
  # left monitor, else its own would span the screen.
  half=$((width / 2))
  xrandr --setmonitor left "$half/270x$height/200+0+0" screen >/dev/null &&
    xrandr --setmonitor right "$half/270x$height/200+$half+0" none >/dev/null ||
    fail "xrandr --setmonitor"
  # The desktop process reads the setting once: a fresh server starts with it set.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  px=$((half + half / 2)) py=$((height / 2))
  start
  for want in x=0 y=0 "width=$width" "height=$height"; do
    grep -qx "$want" <<<"$info" || fail "window: want $want, have: $(tr '\n' ' ' <<<"$info")"
  done
  # Both monitors the same size: the same picture on each, where one viewport across both
  # would split one picture between them.
  for _ in $(seq 60); do
    "$x" screenshot "$out/shot.png" || fail "no screenshot"
    read -r _ _ _ lc lx ly < <("$b/tests/image-stats" "$out/shot.png" 0 0 "$half" "$height")
    read -r _ _ _ rc rx ry < <("$b/tests/image-stats" "$out/shot.png" "$half" 0 "$half" "$height")
    [ "$lc" -ge 300 ] && [ "$rc" -ge 300 ] && break
    sleep 1
  done
  [ "$lc" -ge 300 ] && [ "$rc" -ge 300 ] || fail "coloured pixels: left $lc, right $rc"
  [ $((lx - rx)) -le 3 ] && [ $((rx - lx)) -le 3 ] && [ $((ly - ry)) -le 3 ] &&
    [ $((ry - ly)) -le 3 ] ||
    fail "halves differ: left $lc coloured around $lx,$ly, right $rc around $rx,$ry"
  [ -n "${ORBILON_SHOT:-}" ] && cp "$out/shot.png" "$ORBILON_SHOT"
  "$x" button 1
  ends_with_zero "a click on the second monitor"
  echo "ok: two monitors, $lc and $rc coloured pixels"
  exit 0
fi

# Switches change nothing: the saver always runs full screen.
start /p 1234
for want in "title=$title" x=0 y=0 "width=$width" "height=$height" mapped=1; do
  grep -qx "$want" <<<"$info" || fail "window: want $want, have: $(tr '\n' ' ' <<<"$info")"
done

# Beads take their strand's colour when they start again, so colour comes after a while.
coloured=0
for _ in $(seq 60); do
  "$x" screenshot "$out/shot.png" || fail "no screenshot"
  read -r _ _ black coloured < <("$b/tests/image-stats" "$out/shot.png") ||
    fail "unreadable screenshot"
  [ "$black" -ge 60 ] || fail "only $black% black"
  [ "$coloured" -ge 500 ] && break
  sleep 1
done
[ "$coloured" -ge 500 ] || fail "no coloured beads: $coloured coloured pixels"
[ -n "${ORBILON_SHOT:-}" ] && cp "$out/shot.png" "$ORBILON_SHOT"

"$x" key space
ends_with_zero "a key"

# Pointer jumps end it. The first move never does, and the renderer reads the pointer only when
# it handles a move, so moves close together may count as one: jump until it ends. (Which moves
# count is the shared rules' business, tested with them.)
start
for i in $(seq 10); do
  "$x" move $((500 + 40 * (i % 2))) 400
  sleep 1
  kill -0 "$pid" 2>/dev/null || break
done
ends_with_zero "pointer jumps"

start
"$x" button 3
ends_with_zero "button 3"
echo "ok: $coloured coloured pixels"
