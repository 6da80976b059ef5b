#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe ARGS...: runs a Windows test program under Wine with its exit status.
# ctest calls it for every program of the Windows build. tests/win32/run-tests.sh prepares one
# prefix for a whole run; without one, a private prefix is made for this call alone (slow).
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX
  trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
  wineboot -i >/dev/null 2>&1
fi
wine "$@"
