# Sourced by a Wine display test: gives it a wineserver of its own. One wineserver drives one
# X display, and its desktop process takes the display it first sees (none at all when the
# prefix was booted without one, and then no window can be made). The test's own server runs
# on a linked copy of the run's prefix (the registry files, which Wine rewrites, copied for
# real), or on a fresh prefix without one; it is ended by private_prefix_end. Needs $dir.
base=${WINEPREFIX:-}
export WINEPREFIX=$dir/prefix
if [ -n "$base" ] && cp -al "$base" "$WINEPREFIX" 2>/dev/null; then
  for reg in "$WINEPREFIX"/*.reg; do
    [ -e "$reg" ] && cp --remove-destination "$base/${reg##*/}" "$reg"
  done
else
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
private_prefix_end() { wineserver -k 2>/dev/null; }
