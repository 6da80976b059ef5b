#!/usr/bin/env bash
# resources_test.sh RUNNER RESINFO.exe ORBILON.scr ORBILON.dll ICON.bmp VERSION LICENSE: what
# Windows reads of both built programs: string 1 "Orbilon", the version resource (the project's
# version, names, the licence's copyright), icon 1 being the dialog's icon, and the manifest's
# common controls 6, DPI awareness, asInvoker and supported systems; and the DLLs each imports,
# which resources and manifest must leave as they were.
set -u
run=$1
resinfo=$2
scr=$3
dll=$4
bmp=$5
version=$6
copyright=$(grep -m1 '^Copyright' "$7")
objdump=x86_64-w64-mingw32-objdump
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}
winpath() { echo "Z:${1//\//\\}"; }

# check FILE NAME IMPORTS: the resources and the imported DLLs of one program.
check() {
  local file=$1 name=$2 imports=$3 facts want
  facts=$("$run" "$resinfo" "$(winpath "$file")" "$(winpath "$bmp")" | tr -d '\r') ||
    { fail "$name: resinfo could not load it"; return; }
  for want in "string1=Orbilon" "fixed=$version.0" "FileVersion=$version" \
    "ProductVersion=$version" "ProductName=Orbilon" "OriginalFilename=$name" \
    "LegalCopyright=$copyright" "icon=32 32" "icon_differs=0"; do
    grep -qxF "$want" <<<"$facts" || fail "$name: no $want in: $(grep -v '^ *<' <<<"$facts")"
  done
  grep -qE '^FileDescription=Orbilon .+' <<<"$facts" || fail "$name: no FileDescription"
  local manifest
  manifest=$(sed -n '/^manifest:$/,$p' <<<"$facts" | tr -d '\n' | tr -s ' ')
  [ -n "$manifest" ] || { fail "$name: no manifest"; return; }
  for want in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    'publicKeyToken="6595b64144ccf1df"' \
    'WindowsSettings">true</dpiAware>' 'WindowsSettings">PerMonitorV2</dpiAwareness>' \
    'requestedExecutionLevel level="asInvoker"' \
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
    grep -qF "$want" <<<"$manifest" || fail "$name: manifest lacks $want"
  done
  if command -v "$objdump" >/dev/null; then
    local have
    have=$("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort | xargs)
    [ "$have" = "$imports" ] || fail "$name imports: want $imports, have $have"
  fi
}

check "$scr" Orbilon.scr \
  "comdlg32.dll gdi32.dll kernel32.dll msimg32.dll msvcrt.dll shell32.dll user32.dll winmm.dll"
check "$dll" Orbilon.dll "gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll"
[ "$failed" -eq 0 ] && echo "ok: resources of both programs"
exit "$failed"
