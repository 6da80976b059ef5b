#!/usr/bin/env bash
# with-xvfb.sh WxHxD COMMAND...: runs COMMAND on a private Xvfb display that lives as long
# as the command, so display tests never share a server and need no display of their own.
set -u
size=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/displayfd"
Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset +extension GLX +extension RANDR \
  3>"$dir/displayfd" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
if ! read -r -t 20 num <"$dir/displayfd"; then
  echo "with-xvfb: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$num"
unset WAYLAND_DISPLAY
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
