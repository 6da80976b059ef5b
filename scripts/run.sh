#!/usr/bin/env bash
# Runs the saver full screen on the current display; with no display, on a virtual one
# for a few seconds, and writes a still of the screen.
set -eu
cd "$(dirname "$0")/.."
prog=(build/Orbilon.scr /s)
[ -x build/Orbilon.scr ] || prog=(build/Orbilon.dll)
if [ ! -x "${prog[0]}" ]; then
  build/scene-dump 1 1000 >/dev/null
  echo "run: the model runs (build/scene-dump); the renderer comes next"
  exit 0
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "${prog[@]}"
fi
out="$PWD/build/orbilon-run.png"
# The beads take their colours as they restart after the fade-in; on a software renderer that
# is some seconds in, so shoot until the picture shows colour (up to about 40 s).
tests/with-xvfb.sh 1280x1024x24 bash -c '
  "$@" & pid=$!
  sleep 5
  for _ in $(seq 35); do
    build/xtool screenshot "'"$out"'"
    [ -x build/tests/image-stats ] || break
    read -r _ _ _ coloured < <(build/tests/image-stats "'"$out"'")
    [ "${coloured:-0}" -ge 2000 ] && break
    sleep 1
  done
  build/xtool key space
  sleep 1; kill $pid 2>/dev/null; wait $pid 2>/dev/null; true' _ "${prog[@]}"
echo "run: no display; the saver ran on a virtual one, screenshot: $out"
