#!/usr/bin/env bash
# dialog_dpi_test.sh RUNNER ORBILON.scr WININFO.exe NATIVE-BUILD: "Orbilon.scr /c" under Wine at
# 96 DPI and then at 144 (Wine's LogPixels): the client area and every control at 1.5 times
# their 96-DPI places and sizes, within a pixel, and the chosen source's mark drawn 1.5 times as
# wide and high. Screenshots of both stay in the build's tests folder.
set -u
run=$1
scr=$2
wininfo=$3
b=$4
X=$b/xtool
if [ ! -x "$X" ] || [ ! -x "$b/tests/image-stats" ]; then
  echo "SKIP: no native xtool and image-stats in $b (make build first)"
  exit 77
fi
source "$(dirname "$0")/../lib.sh"
shots=$(dirname "$wininfo")
dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$dir"' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}
cp "$scr" "$dir/Orbilon.scr"
: >"$dir/Orbilon.dll"
cd "$dir" || exit 1

# open DPI: the dialog's facts (wininfo) in $dir/DPI.txt, the blue mark's coloured pixels in
# $mark, a screenshot in the tests folder; then the dialog is closed.
open_at() {
  "$run" "$dir/Orbilon.scr" /c &
  pid=$!
  local id
  id=$("$X" wait "<Orbilon>" 90) || { fail "$1 DPI: no dialog"; return 1; }
  for _ in $(seq 100); do
    "$X" info "$id" | grep -aqx mapped=1 && break
    sleep 0.2
  done
  sleep 1
  "$run" "$wininfo" "<Orbilon>" | tr -d '\r' >"$dir/$1.txt"
  grep -aqx "dpi=$1" "$dir/$1.txt" || fail "not $1 DPI: $(head -4 "$dir/$1.txt" | xargs)"
  "$X" screenshot "$shots/dialog-$1dpi.png"
  # "無し", chosen without a settings file: its mark at (32, 92) of the client area at 96 DPI.
  local ox oy
  read -r ox oy < <(sed -n 's/^origin=//p' "$dir/$1.txt")
  read -r _ _ _ mark _ < <("$b/tests/image-stats" "$shots/dialog-$1dpi.png" \
    $((ox + 32 * $1 / 96)) $((oy + 92 * $1 / 96)) $((16 * $1 / 96)) $((16 * $1 / 96)))
  "$X" close "$id"
  ended "$pid" 30 || fail "$1 DPI: the dialog did not close"
  pid=
}

# near A B: B is 1.5 times A, within a pixel.
near() { [ $((2 * $2 - 3 * $1)) -ge -2 ] && [ $((2 * $2 - 3 * $1)) -le 2 ]; }

open_at 96
mark96=$mark
# Wine reads the DPI once per server.
"$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k
wineserver -w
open_at 144
mark144=$mark

read -r w96 h96 < <(sed -n 's/^client=//p' "$dir/96.txt")
read -r w144 h144 < <(sed -n 's/^client=//p' "$dir/144.txt")
near "$w96" "$w144" && near "$h96" "$h144" ||
  fail "client area: $w96 x $h96 at 96 DPI, $w144 x $h144 at 144"
# The controls in the same order at both: each place and size 1.5 times (the track box's own
# edit field is the box's business, sized to its font).
fields() { grep -v ' class=Edit ' "$1" | sed -n 's/^child id=\([0-9]*\) class=\([^ ]*\) x=\([0-9-]*\) y=\([0-9-]*\) w=\([0-9]*\) h=\([0-9]*\) .*/\1 \2 \3 \4 \5 \6/p'; }
fields "$dir/96.txt" >"$dir/96.f"
fields "$dir/144.txt" >"$dir/144.f"
[ "$(wc -l <"$dir/96.f")" -ge 5 ] && [ "$(wc -l <"$dir/96.f")" = "$(wc -l <"$dir/144.f")" ] ||
  fail "controls: $(wc -l <"$dir/96.f") at 96 DPI, $(wc -l <"$dir/144.f") at 144"
while read -r id cls x y w h <&3 && read -r id2 cls2 x2 y2 w2 h2 <&4; do
  [ "$id $cls" = "$id2 $cls2" ] || { fail "control order: $id $cls against $id2 $cls2"; break; }
  near "$x" "$x2" && near "$y" "$y2" && near "$w" "$w2" && near "$h" "$h2" ||
    fail "$cls $id: $x,$y ${w}x$h at 96 DPI, $x2,$y2 ${w2}x$h2 at 144"
done 3<"$dir/96.f" 4<"$dir/144.f"
# The mark's picture grows with the rest: 2.25 times its coloured area, give or take.
[ "$mark96" -gt 10 ] && [ $((100 * mark144 / mark96)) -ge 180 ] &&
  [ $((100 * mark144 / mark96)) -le 270 ] ||
  fail "the mark: $mark96 coloured pixels at 96 DPI, $mark144 at 144"
[ "$failed" -eq 0 ] && echo "ok: 144 DPI is 1.5 times 96 DPI"
exit "$failed"
