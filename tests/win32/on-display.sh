#!/usr/bin/env bash
# on-display.sh WxHxD COMMAND...: runs a Wine display test on the display of the run's Wine
# desktop ($ORBILON_WINE_DISPLAY, set by run-tests.sh), where Wine's windows, pointer and focus
# live; without one, on a private Xvfb of that size.
set -u
if [ -n "${ORBILON_WINE_DISPLAY:-}" ]; then
  shift
  export DISPLAY=$ORBILON_WINE_DISPLAY
  exec "$@"
fi
exec "$(dirname "$0")/../with-xvfb.sh" "$@"
