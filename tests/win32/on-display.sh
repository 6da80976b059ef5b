#!/usr/bin/env bash
# on-display.sh WxHxD COMMAND...: runs a Wine display test on a private Xvfb of that size with a
# wineserver of its own (private-prefix.sh). One wineserver keeps one desktop: its windows,
# pointer and focus, on the display its desktop process first saw. A server per test keeps
# each test's windows on its own display, so display tests may run side by side.
set -u
here=$(dirname "$0")
if [ -z "${ORBILON_ON_DISPLAY:-}" ]; then
  ORBILON_ON_DISPLAY=1 exec "$here/../with-xvfb.sh" "$1" "$0" "$@"
fi
unset ORBILON_ON_DISPLAY
shift
dir=$(mktemp -d)
source "$here/private-prefix.sh"
"$@"
rc=$?
private_prefix_end
rm -rf "$dir"
exit $rc
