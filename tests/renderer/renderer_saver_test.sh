#!/usr/bin/env bash
# renderer_saver_test.sh CASE: one behaviour of Orbilon.dll on the private display the test runs on.
# Waits are generous: the machine may be slow and loaded.
set -u
b=${ORBILON_BUILD:?}
x=$b/xtool
title=Orbilon_VC
pid=
fail() { echo "FAIL: $*" >&2; [ -n "$pid" ] && kill "$pid" 2>/dev/null; exit 1; }

# start [ARGS...]: the renderer in the background, with the pointer at (500, 400) first.
start() {
  "$x" move 500 400
  "$b/Orbilon.dll" "$@" &
  pid=$!
  id=$("$x" wait "$title" 20) || fail "no $title window"
  for _ in $(seq 100); do
    "$x" info "$id" | grep -q '^mapped=1' && break
    sleep 0.1
  done
  "$x" info "$id" | grep -q '^mapped=1' || fail "window never mapped"
  "$x" focus "$id" 10 || fail "the window never took the focus"
}

# mv X Y: moves the pointer and gives the renderer time to see this position; it reads the
# pointer when it handles the motion, so moves in quick succession would merge into one jump.
mv() {
  "$x" move "$1" "$2"
  sleep 0.5
}

# ends_with_zero WHAT: the renderer exits with status 0 and its window is gone.
ends_with_zero() {
  for _ in $(seq 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$1 did not end the saver"
  wait "$pid"
  local rc=$?
  pid=
  [ "$rc" -eq 0 ] || fail "$1: exit status $rc"
  "$x" gone "$title" 5 || fail "$1: window still there"
}

# keeps_running WHAT: the renderer is still up a while later.
keeps_running() {
  sleep 2
  kill -0 "$pid" 2>/dev/null || fail "$1 ended the saver"
  "$x" find "$title" >/dev/null || fail "$1 removed the window"
}

geometry() {
  local info
  info=$("$x" info "$id")
  for want in "title=$title" "class=WindowsScreenSaverClass" "x=0" "y=0" "width=$1" \
              "height=$2" "mapped=1"; do
    grep -qx "$want" <<<"$info" || fail "window: want $want, have: $(tr '\n' ' ' <<<"$info")"
  done
}

case ${1:?} in
  window)
    # Full screen whatever the switches say; a key press ends it.
    for args in "" "/s" "/c" "/p 1234" "-x anything"; do
      # shellcheck disable=SC2086
      start $args
      geometry 1024 768
      "$x" key space
      ends_with_zero "a key (args '$args')"
    done
    ;;
  keys)
    for key in space Escape a; do
      start; "$x" key "$key"; ends_with_zero "key $key"
    done
    start; "$x" key Alt_L; ends_with_zero "Alt"
    ;;
  buttons)
    for n in 1 2 3; do
      start; "$x" button "$n"; ends_with_zero "button $n"
    done
    ;;
  wheel)
    start
    for n in 4 5 6 7; do "$x" button "$n"; done
    keeps_running "the wheel"
    "$x" button 1
    ends_with_zero "button 1 after the wheel"
    ;;
  moves)
    start
    mv 900 700                 # first move, however far: ignored
    keeps_running "a first long move"
    # Measured from the start position, which the ignored move did not replace.
    mv 502 401; mv 505 402; mv 505 406; mv 501 406
    keeps_running "moves of at most 4 pixels"
    mv 504 408                 # 3 + 2
    ends_with_zero "a 5-pixel jump"
    ;;
  close)
    start
    "$x" close "$id"
    keeps_running "a close before any input"
    mv 502 401                 # first move: sets nothing
    mv 503 402                 # second small move: arms the close without asking for it
    keeps_running "small moves"
    "$x" close "$id"
    ends_with_zero "a close after input"
    ;;
  second)
    # A second renderer takes the focus; the first loses activation and ends.
    start
    first=$pid
    "$b/Orbilon.dll" &
    second=$!
    pid=$first
    for _ in $(seq 150); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the first renderer kept running"
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "the first renderer, after the second started: status $rc"
    pid=$second
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the second renderer ended"
    id=$("$x" wait "$title" 10) || fail "no window of the second renderer"
    "$x" focus "$id" 10 || fail "the second renderer never took the focus"
    "$x" key space
    ends_with_zero "a key to the second renderer"
    ;;
  single)
    # A window titled "Screensaver" of the saver class: brought to the front, no new window.
    coproc stub { "$b/tests/saver-window-stub"; }
    read -r -t 10 stub_id <&"${stub[0]}" || fail "stub did not start"
    "$b/Orbilon.dll" &
    pid=$!
    ends_with_zero "an already running saver"
    "$x" find "$title" >/dev/null && fail "a window was opened"
    read -r -t 5 line <&"${stub[0]}" && [ "$line" = focused ] ||
      fail "the running saver $stub_id was not focused"
    ;;
  picture)
    # After the fade-in the screen shows coloured beads on black.
    start
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    for _ in $(seq 60); do
      "$x" screenshot "$out/shot.png" || fail "no screenshot"
      read -r w h black coloured < <("$b/tests/image-stats" "$out/shot.png") ||
        fail "unreadable screenshot"
      [ "$black" -ge 60 ] || fail "only $black% black"
      [ "$coloured" -ge 500 ] && break
      sleep 1
    done
    [ "$coloured" -ge 500 ] || fail "no coloured beads: $coloured coloured pixels"
    "$x" button 1
    ends_with_zero "button 1"
    ;;
  *) fail "unknown case $1" ;;
esac
echo "ok: $1"
