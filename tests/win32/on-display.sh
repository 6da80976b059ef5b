#!/usr/bin/env bash
# on-display.sh WxHxD COMMAND...: runs a Wine display test on a private Xvfb of that size with a
# wineserver of its own. One wineserver keeps one desktop (its windows, pointer and focus) on
# the display its desktop process first saw. A server per test keeps each test's windows on its
# own display, so display tests may run side by side. The server runs on a linked copy of the
# run's prefix (the registry files, which Wine rewrites, copied for real), or on a fresh prefix
# when there is none.
set -u
here=$(dirname "$0")
if [ -z "${ORBILON_ON_DISPLAY:-}" ]; then
  ORBILON_ON_DISPLAY=1 exec "$here/../with-xvfb.sh" "$1" "$0" "$@"
fi
unset ORBILON_ON_DISPLAY
shift
dir=$(mktemp -d)
base=${WINEPREFIX:-}
export WINEPREFIX=$dir/prefix
if [ -n "$base" ] && cp -al "$base" "$WINEPREFIX" 2>/dev/null; then
  for reg in "$WINEPREFIX"/*.reg; do
    [ -e "$reg" ] && cp --remove-destination "$base/${reg##*/}" "$reg"
  done
else
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi
"$@"
rc=$?
wineserver -k 2>/dev/null
rm -rf "$dir"
exit $rc
