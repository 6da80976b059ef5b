#!/usr/bin/env bash
# run-tests.sh [BUILD-WIN] [CTEST ARGS...]: the Windows build's tests under Wine. One temporary
# prefix serves the whole run: the first start of a prefix takes tens of seconds, every later
# program a fraction of one. Needs `wine`; works as root in the temporary prefix.
set -u
build=${1:-build-win}
shift || true
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/orbilon-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# The programs run as on a Japanese Windows: a ja_JP.UTF-8 locale built into the temporary
# folder gives Wine the code page 932. Sound goes to ALSA's null device through a private HOME.
export HOME="$WINEPREFIX/home"
mkdir -p "$HOME" "$WINEPREFIX/locale"
if localedef -i ja_JP -f UTF-8 "$WINEPREFIX/locale/ja_JP.UTF-8" >/dev/null 2>&1; then
  export LOCPATH="$WINEPREFIX/locale"
  # (bash itself cannot load it: it reads LOCPATH only from its own start)
  { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
else
  echo "run-tests: no ja_JP.UTF-8 locale (Debian: locales); Japanese texts may not show"
fi
cat >"$HOME/.asoundrc" <<'ASOUND'
pcm.!default { type null }
ASOUND

start=$SECONDS
wineboot -i >/dev/null 2>&1
# Without a window manager, Wine's managed windows take seconds to go away; unmanaged ones
# appear and vanish at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# The display tests start from linked copies of this prefix (on-display.sh), so its registry
# must be on disk first: the server writes it out when it ends.
wineserver -w
# A persistent server then keeps the prefix warm between the other test programs. Its
# services start here, away from the tests: started by a test program, they would hold its
# output open and ctest would wait for them.
wineserver -p
wineboot >/dev/null 2>&1
echo "Wine prefix ready in $((SECONDS - start)) s"

# A test that failed once and passed on its second try (--repeat until-pass) is named, so that
# a Wine start that failed is not mistaken for a clean run.
log=$WINEPREFIX/ctest.log
ctest --test-dir "$build" --output-on-failure "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Failed.*$/\1/p' "$log" | sort -u | while read -r name; do
  grep -Eq "Test +#[0-9]+: $name \.+ +Passed" "$log" && echo "run-tests: $name passed only on its second try"
done
exit "$status"
