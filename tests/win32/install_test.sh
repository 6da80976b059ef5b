#!/usr/bin/env bash
# install_test.sh RUNNER BUILD-WIN NATIVE-BUILD: the Windows release under Wine on the private
# display the test runs on. The zip holds the four files, its texts in CR LF, its programs
# stripped. The installer, silent, in a prefix where Orbilon never was: both programs, the
# README and the licence in the 64-bit System32 (none in SysWOW64), the uninstall entry in the
# 64-bit registry; the installed Orbilon.scr /c shows the dialog and /s runs the renderer until
# a key. The uninstaller, silent: every installed file and the entry gone, the user's
# Orbilon.ini (beside the programs and in %APPDATA%) and other files kept. The installed
# dialog's "その他の作品" opens the installed README.
set -u
run=$1
bw=$2
b=$3
x=$b/xtool
pkg=$bw/package
zip=$(ls "$pkg"/Orbilon-*-windows-x64.zip 2>/dev/null)
setup=$(ls "$pkg"/Orbilon-*-setup-x64.exe 2>/dev/null)
if [ ! -x "$x" ] || [ -z "$zip" ] || [ -z "$setup" ] || ! command -v unzip >/dev/null; then
  echo "SKIP: needs the native xtool, unzip and build-win/package (make windows-package)"
  exit 77
fi
source "$(dirname "$0")/../lib.sh"
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$dir"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
wt() { "$run" "$bw/wintool.exe" "$@"; }
sys32=$WINEPREFIX/drive_c/windows/system32
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orbilon'
installed=(Orbilon.scr Orbilon.dll Orbilon-README.txt Orbilon-LICENSE.txt Orbilon-uninstall.exe)

echo "== the zip"
[ "$(unzip -Z1 "$zip" | sort | xargs)" = "LICENSE.txt Orbilon.dll Orbilon.scr README.txt" ] ||
  fail "zip holds: $(unzip -Z1 "$zip" | xargs)"
unzip -q "$zip" -d "$dir/zip"
for t in README.txt LICENSE.txt; do
  [ -s "$dir/zip/$t" ] || fail "$t empty"
  # Every line ends in CR LF, the last one included.
  if grep -qv $'\r$' "$dir/zip/$t" || [ "$(tail -c2 "$dir/zip/$t" | od -An -tx1 | xargs)" != "0d 0a" ]; then
    fail "$t has lines without CR LF"
  fi
done
for p in Orbilon.scr Orbilon.dll; do
  if x86_64-w64-mingw32-objdump -h "$dir/zip/$p" 2>/dev/null | grep -q '\.debug_'; then
    fail "$p is not stripped"
  fi
done

# In a fresh prefix, the windows of the first Win32 program on this display sometimes never
# reach it; a throw-away window goes first.
mkfifo "$dir/in"
wt window 1 1 "warm up" <"$dir/in" >/dev/null &
exec 4>"$dir/in"
"$x" wait "warm up" 20 >/dev/null || echo "note: the first window did not show"
exec 4>&-

echo "== silent install"
"$run" "$setup" /S || fail "the installer ended with $?"
for f in "${installed[@]}"; do
  [ -f "$sys32/$f" ] || fail "no $f in System32"
  [ -e "$WINEPREFIX/drive_c/windows/syswow64/$f" ] && fail "$f went to SysWOW64"
done
for f in Orbilon.scr Orbilon.dll; do
  cmp -s "$sys32/$f" "$dir/zip/$f" || fail "the installed $f is not the zip's"
done
cmp -s "$sys32/Orbilon-README.txt" "$dir/zip/README.txt" || fail "the installed README differs"
entry=$("$run" reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
for want in 'DisplayName.*Orbilon$' 'UninstallString.*"C:\\windows\\system32\\Orbilon-uninstall.exe"$' \
  'QuietUninstallString.* /S$' 'DisplayIcon.*Orbilon.scr,0$' 'DisplayVersion.*[0-9]'; do
  grep -qi -- "$want" <<<"$entry" || fail "uninstall entry: no $want in: $entry"
done

echo "== the installed programs"
# The test prefix has no program for text files: Notepad, as on Windows.
"$run" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
"$run" reg add 'HKCR\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f >/dev/null 2>&1
"$run" 'C:\windows\system32\Orbilon.scr' /c &
p=$!
if "$x" wait "<Orbilon>" 90 >/dev/null; then
  sleep 1
  # "その他の作品" (id 1005) opens the README installed beside the programs, never their folder.
  facts=$("$run" "$bw/tests/wininfo.exe" "<Orbilon>" | tr -d '\r')
  read -r ox oy < <(sed -n 's/^origin=//p' <<<"$facts")
  read -r bx by bw_ bh < <(sed -n 's/^child id=1005 .* x=\([0-9]*\) y=\([0-9]*\) w=\([0-9]*\) h=\([0-9]*\) .*/\1 \2 \3 \4/p' <<<"$facts")
  if [ -n "${bh:-}" ]; then
    # The button watches the pointer come in before it takes a click.
    "$x" move $((ox + bx + bw_ / 2 - 8)) $((oy + by + bh / 2))
    sleep 0.3
    "$x" move $((ox + bx + bw_ / 2)) $((oy + by + bh / 2))
    sleep 0.3
    "$x" button 1
    opened=
    for _ in $(seq 100); do
      opened=$(pgrep -af 'Orbilon-README\.txt' | grep -iF 'system32\Orbilon-README.txt')
      [ -n "$opened" ] && break
      sleep 0.2
    done
    [ -n "$opened" ] || fail "その他の作品 did not open the installed README: $(pgrep -af 'notepad|explorer|winefile')"
    [ -n "$opened" ] && kill "$(awk '{ print $1; exit }' <<<"$opened")"
  else
    fail "/c: no その他の作品 button in: $facts"
  fi
  wt close "<Orbilon>"
  ended $p 30 || fail "/c: the dialog closed, the process lives on"
else
  fail "/c: no dialog"
fi
"$run" 'C:\windows\system32\Orbilon.scr' /s &
p=$!
if "$x" wait Orbilon_VC 90 >/dev/null; then
  sleep 2
  "$x" key space
  ended $p 30 || fail "/s: a key did not end the run"
  "$x" gone Orbilon_VC 10 >/dev/null || fail "/s: the renderer's window stays"
else
  fail "/s: no renderer window"
fi

echo "== silent uninstall"
ini=$dir/Orbilon.ini
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=2\r\n' >"$ini"
cp "$ini" "$sys32/Orbilon.ini"
appdata=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -name AppData | head -n1)/Roaming
mkdir -p "$appdata/Orbilon"
cp "$ini" "$appdata/Orbilon/Orbilon.ini"
"$run" reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d 'C:\windows\system32\Orbilon.scr' \
  /f >/dev/null 2>&1
# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
"$run" 'C:\windows\system32\Orbilon-uninstall.exe' /S
for _ in $(seq 300); do
  [ -e "$sys32/Orbilon-uninstall.exe" ] || [ -e "$sys32/Orbilon.scr" ] || break
  sleep 0.2
done
for f in "${installed[@]}"; do
  [ -e "$sys32/$f" ] && fail "$f still installed"
done
"$run" reg query "$key" /reg:64 >/dev/null 2>&1 && fail "the uninstall entry stays"
cmp -s "$sys32/Orbilon.ini" "$ini" || fail "Orbilon.ini beside the programs was touched"
cmp -s "$appdata/Orbilon/Orbilon.ini" "$ini" || fail "%APPDATA%\\Orbilon\\Orbilon.ini was touched"
[ -f "$sys32/rundll32.exe" ] || fail "System32 lost other files"
"$run" reg query 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE >/dev/null 2>&1 &&
  fail "the screen saver setting still names the removed Orbilon.scr"
[ "$failed" -eq 0 ] && echo "ok: installed, ran and uninstalled"
exit "$failed"
