#!/usr/bin/env bash
# scene_dump_windows_test.sh RUNNER SCENE-DUMP.EXE NATIVE-SCENE-DUMP: the Windows scene-dump's command
# line, and its state after 1000 frames against the native program's. Another C library's acos
# and pow may differ in the last bit, so numbers are compared within a relative 1e-5 and
# everything else exactly.
set -u
run=$1
dump=$2
native=$3
fail=0
check() { echo "FAIL: $*" >&2; fail=1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

out=$("$run" "$dump" 1 0 | tr -d '\r') || check "'1 0' exited $?"
case $out in
  '{"seed":1,"frames":0,"camera":"front","draws":3271,'*) ;;
  *) check "'1 0' starts with: ${out:0:80}" ;;
esac

for args in "" "1 2 3" "1 -1" "1 1.5"; do
  # shellcheck disable=SC2086
  stdout=$("$run" "$dump" $args 2>"$dir/err")
  status=$?
  [ "$status" -eq 2 ] || check "'$args' exited $status, not 2"
  [ -z "$stdout" ] || check "'$args' wrote to stdout"
  grep -q '^usage: scene-dump SEED FRAMES' "$dir/err" || check "'$args' usage text"
done

if [ ! -x "$native" ]; then
  echo "SKIP: no native $native to compare with (make build first)"
  exit $((fail ? 1 : 77))
fi
"$run" "$dump" 1 1000 | tr -d '\r' >"$dir/windows.json" || check "'1 1000' exited $?"
"$native" 1 1000 >"$dir/native.json"
numbers='-?[0-9][0-9.eE+-]*'
cmp -s <(sed -E "s/$numbers/#/g" "$dir/windows.json") <(sed -E "s/$numbers/#/g" "$dir/native.json") ||
  check "'1 1000' differs from the native output beyond its numbers"
worst=$(paste <(grep -oE -- "$numbers" "$dir/windows.json") <(grep -oE -- "$numbers" "$dir/native.json") |
  awk 'NF != 2 { print "count"; exit }
       { d = $1 - $2; if (d < 0) d = -d; m = $2 < 0 ? -$2 : $2; if (m < 1) m = 1
         if (d / m > 1e-5) { print NR ": " $1 " vs " $2; exit } }')
[ -z "$worst" ] || check "'1 1000' differs from the native output: $worst"
exit $fail
