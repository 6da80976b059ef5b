#!/usr/bin/env bash
# scene-dump's command line: the state after creation, and bad arguments refused with status 2.
set -u
dump=$1
fail=0
check() { echo "FAIL: $*" >&2; fail=1; }

out=$("$dump" 1 0) || check "'1 0' exited $?"
case $out in
  '{"seed":1,"frames":0,"camera":"front","draws":3271,'*) ;;
  *) check "'1 0' starts with: ${out:0:80}" ;;
esac
[ "$(grep -c '"colour"' <<<"$out")" -eq 1500 ] || check "'1 0' does not list 1500 beads"

# Pins the model's arithmetic (draw order, single-precision storage, double intermediates):
# any change to a value after 1000 frames changes this digest.
digest=$("$dump" 1 1000 | sha256sum | cut -d' ' -f1)
[ "$digest" = c5948d8a54a503bfb210eedeb3b93f5f7a013f4301cee139e1f82ec19804dc3b ] ||
  check "'1 1000' output changed (sha256 $digest)"

for args in "" "1" "1 2 3" "x 1" "1 -1" "4294967296 1" "1 1.5"; do
  # shellcheck disable=SC2086
  stdout=$("$dump" $args 2>/tmp/scene-dump-err.$$)
  status=$?
  [ "$status" -eq 2 ] || check "'$args' exited $status, not 2"
  [ -z "$stdout" ] || check "'$args' wrote to stdout"
  [ "$(wc -l </tmp/scene-dump-err.$$)" -eq 1 ] || check "'$args' did not write one usage line"
  grep -q '^usage: scene-dump SEED FRAMES' /tmp/scene-dump-err.$$ || check "'$args' usage text"
done
rm -f /tmp/scene-dump-err.$$
exit $fail
