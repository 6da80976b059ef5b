#!/usr/bin/env bash
# command_test.sh RUNNER COMMAND_GALLERY.EXE NATIVE-BUILD: the Win32 Command button under Wine
# on the private display the test runs on, driven by the native build's xtool.
# 1. The gallery's six looks: every frame and gradient pixel it names is on the screen, and
#    where the native build has the Qt gallery, the Qt button shows the same pixels.
# 2. Real pointer input on the host form: hover, leave (the cursor poll), click and focus
#    change the look; one click is one BN_CLICKED; a press dragged off, a release without a
#    press and a disabled button click nothing; the right button clicks without focusing.
# ORBILON_SHOT=DIR keeps the screenshots.
set -u
run=$1
exe=$2
b=$3
X=$b/xtool
if [ ! -x "$X" ]; then
  echo "SKIP: no native xtool in $b (make build first)"
  exit 77
fi
dir=$(mktemp -d)
pid=
fail() {
  echo "FAIL: $*" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/../lib.sh"
failures=0

# near "R G B" "R G B" TOL: every channel within TOL.
near() {
  local a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  for i in 0 1 2; do
    local d=$((a[i] - b[i]))
    [ "${d#-}" -le "$3" ] || return 1
  done
}

# open TITLE ARGS...: the gallery program in the background, its output in $dir/out; waits until
# its window is mapped and painted.
open() {
  local title=$1
  shift
  "$run" "$exe" "$@" >"$dir/out" 2>"$dir/err" &
  pid=$!
  id=$("$X" wait "$title" 90) || fail "no \"$title\" window: $(cat "$dir/err")"
  for _ in $(seq 100); do
    "$X" info "$id" | grep -qx mapped=1 && break
    sleep 0.1
  done
  sleep 1.5
}

# The program's output so far, without the carriage returns of Windows' line ends.
out() { tr -d '\r' <"$dir/out"; }

close() {
  "$X" close "$id"
  ended "$pid" 30 || fail "$1 did not end when closed"
  pid=
}

# --- 1. The six looks -------------------------------------------------------------------
"$X" move 175 24 # over the hovered button, as the gallery places it
open "Command gallery" gallery
out | grep '^font'
"$X" screenshot "$dir/win32-gallery.png" || fail "no screenshot"
out | grep '^point' >"$dir/points"
[ "$(wc -l <"$dir/points")" -ge 60 ] || fail "the gallery named too few pixels"
: >"$dir/seen"
while read -r _ x y r g bl tol; do
  have=$("$X" pixel "$x" "$y")
  echo "$x $y $tol $have" >>"$dir/seen"
  if ! near "$have" "$r $g $bl" "$tol"; then
    echo "pixel ($x, $y) is $have, want $r $g $bl (within $tol)" >&2
    failures=$((failures + 1))
  fi
done <"$dir/points"
close gallery

# The Qt button in the same layout: the same frames, gradients within a few levels.
qt=$b/tests/command_gallery
if [ -x "$qt" ]; then
  "$X" move 175 24
  "$qt" "$dir/qt-gallery.png" --stay 60 >/dev/null 2>&1 &
  pid=$!
  "$X" wait "Command gallery" 60 >/dev/null || fail "no Qt gallery"
  sleep 2
  "$X" screenshot "$dir/qt-gallery-root.png"
  while read -r x y tol r g bl; do
    have=$("$X" pixel "$x" "$y")
    if ! near "$have" "$r $g $bl" "$tol"; then
      echo "($x, $y): Win32 $r $g $bl, Qt $have" >&2
      failures=$((failures + 1))
    fi
  done < <(head -n -1 "$dir/seen") # the transparent face shows each form's own colour
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
else
  echo "no Qt gallery in $b/tests: comparison with the Qt faces skipped"
fi

# --- 2. Real input on the host form ------------------------------------------------------
"$X" move 250 90
open "Command host" host
declare -A look
while read -r _ name x y r g bl; do
  look[$name]="$r $g $bl"
  at="$x $y"
done < <(out | grep '^look')

# expect_look NAME WHAT: button 1 shows that look within a few seconds.
expect_look() {
  local have
  for _ in $(seq 30); do
    have=$("$X" pixel $at)
    [ "$have" = "${look[$1]}" ] && return 0
    sleep 0.1
  done
  echo "$2: button 1 shows $have, not $1 (${look[$1]})" >&2
  failures=$((failures + 1))
}

clicks() { out | grep -c "^click $1\$"; }

expect_look Normal "at the start"
"$X" move 60 20
"$X" move 68 24
expect_look HighLight "cursor over it"
"$X" move 250 90
expect_look Normal "cursor gone (poll)"
"$X" move 60 20
"$X" move 68 24
"$X" button 1
sleep 1
[ "$(clicks 1)" = 1 ] || fail "one click gave $(clicks 1) BN_CLICKED"
expect_look HighLightSelect "clicked, cursor over it"
"$X" move 250 90
expect_look Selected "clicked, cursor gone"

# A left press dragged off and released at once; a press on the form released over the button.
"$X" move 60 20
"$X" move 68 24
"$X" down 1
"$X" move 250 90
"$X" up 1
"$X" down 1
"$X" move 60 20
"$X" move 68 24
"$X" up 1
sleep 1
[ "$(clicks 1)" = 1 ] || fail "a drag off or a release without a press clicked"

# The disabled button takes the focus, and clicks nothing.
"$X" move 208 24
"$X" button 1
expect_look Normal "the focus went to the other button"

# A right press does not focus; dragged off it clicks nothing, released over the button it does.
"$X" move 60 20
"$X" move 68 24
"$X" down 3
"$X" move 250 90
sleep 0.5
"$X" up 3
"$X" move 60 20
"$X" move 68 24
"$X" button 3
sleep 1
close host
[ "$(clicks 1)" = 2 ] || fail "right button: want one more click, have $(clicks 1) in all"
[ "$(clicks 2)" = 0 ] || fail "the disabled button clicked"
out | grep -qx closed || fail "the host did not end its loop"

if [ -n "${ORBILON_SHOT:-}" ]; then
  mkdir -p "$ORBILON_SHOT"
  cp "$dir"/*.png "$ORBILON_SHOT"/
fi
[ "$failures" -eq 0 ] || fail "$failures pixel(s) differ"
echo "ok: $(wc -l <"$dir/points") gallery pixels, clicks as expected"
