#!/usr/bin/env bash
# Without a display the renderer says so in one line on stderr and ends with status 1.
set -u
b=${ORBILON_BUILD:?}
err=$(mktemp)
trap 'rm -f "$err"' EXIT
DISPLAY=:31999 "$b/Orbilon.dll" 2>"$err"
rc=$?
[ "$rc" -eq 1 ] || { echo "FAIL: status $rc" >&2; exit 1; }
[ "$(wc -l <"$err")" -eq 1 ] || { echo "FAIL: stderr: $(cat "$err")" >&2; exit 1; }
echo "ok: $(cat "$err")"
