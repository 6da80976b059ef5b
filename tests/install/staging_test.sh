#!/usr/bin/env bash
# `cmake --install` into a staging root: every file in its place and nothing else, the hack
# link resolving to the installed front end, the desktop, AppStream, XScreenSaver and manual
# files valid, and the front end started through the link finding the renderer beside it.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
stage=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$stage"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

echo "== install into a staging root with the prefix /usr"
DESTDIR=$stage/root cmake --install "$B" --prefix /usr >"$stage/log" 2>&1 || {
    cat "$stage/log"
    fail "cmake --install failed"
}
r=$stage/root
expected="etc/xdg/autostart/orbilon-idle.desktop
usr/bin/orbilon-idle
usr/bin/orbilon-register
usr/libexec/orbilon/Orbilon.dll
usr/libexec/orbilon/Orbilon.scr
usr/libexec/xscreensaver/orbilon
usr/share/applications/io.github.orbilon.Orbilon.desktop
usr/share/applications/screensavers/orbilon.desktop
usr/share/doc/orbilon/README.md
usr/share/doc/orbilon/docs/architecture.md
usr/share/doc/orbilon/docs/choices.md
usr/share/doc/orbilon/docs/orbilon.png
usr/share/doc/orbilon/docs/performance.md
usr/share/doc/orbilon/docs/platforms.md
usr/share/doc/orbilon/docs/programs.md
usr/share/doc/orbilon/docs/settings-dialog.png
usr/share/doc/orbilon/docs/testing.md
usr/share/doc/orbilon/copyright
usr/share/icons/hicolor/128x128/apps/orbilon.png
usr/share/icons/hicolor/32x32/apps/orbilon.png
usr/share/icons/hicolor/64x64/apps/orbilon.png
usr/share/man/man1/orbilon-idle.1.gz
usr/share/man/man1/orbilon-register.1.gz
usr/share/man/man6/Orbilon.dll.6.gz
usr/share/man/man6/orbilon.6.gz
usr/share/metainfo/io.github.orbilon.Orbilon.metainfo.xml
usr/share/xscreensaver/config/orbilon.xml"
actual=$(cd "$r" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] ||
    fail "installed files differ: $(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") | grep '^[<>]')"
for p in usr/bin/orbilon-register usr/bin/orbilon-idle usr/libexec/orbilon/Orbilon.scr usr/libexec/orbilon/Orbilon.dll; do
    [ -x "$r/$p" ] || fail "$p is not executable"
done

echo "== the hack is a relative link to the installed front end"
link=$r/usr/libexec/xscreensaver/orbilon
[ -L "$link" ] || fail "the hack is not a link"
case $(readlink "$link") in /*) fail "the hack link is absolute: $(readlink "$link")" ;; esac
[ "$(realpath "$link")" = "$r/usr/libexec/orbilon/Orbilon.scr" ] || fail "the hack link leads to $(realpath "$link")"

echo "== desktop entries, AppStream, XScreenSaver description, manual pages"
for d in usr/share/applications/io.github.orbilon.Orbilon.desktop usr/share/applications/screensavers/orbilon.desktop; do
    # Hints are not faults: the category Screensaver, which MATE and xfce need, draws one.
    out=$(desktop-file-validate "$r/$d" 2>&1) || fail "desktop-file-validate $d failed: $out"
    grep -E 'error|warning' <<<"$out" && fail "desktop-file-validate $d: $out"
    # Every program a desktop entry starts is installed.
    exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$r/$d")
    [ -x "$r$exe" ] || fail "$d starts $exe, which is not installed"
done
# The login's entry runs the watcher from PATH, and nothing once the package is removed.
autostart=$r/etc/xdg/autostart/orbilon-idle.desktop
out=$(desktop-file-validate "$autostart" 2>&1) || fail "desktop-file-validate autostart: $out"
grep -qx 'Exec=orbilon-idle' "$autostart" && grep -qx 'TryExec=orbilon-idle' "$autostart" ||
    fail "the autostart entry does not run orbilon-idle"
grep -qx 'Exec=/usr/libexec/xscreensaver/orbilon --root' "$r/usr/share/applications/screensavers/orbilon.desktop" ||
    fail "the screen-saver entry does not run the hack with --root"
grep -qx 'Categories=Screensaver;' "$r/usr/share/applications/screensavers/orbilon.desktop" || fail "Categories"
grep -qx 'OnlyShowIn=MATE;XFCE;' "$r/usr/share/applications/screensavers/orbilon.desktop" || fail "OnlyShowIn"
out=$(appstreamcli validate --no-net --no-color "$r/usr/share/metainfo/io.github.orbilon.Orbilon.metainfo.xml" 2>&1) ||
    fail "appstreamcli: $out"
grep -qE '^[EW]:' <<<"$out" && fail "appstreamcli reports: $out"
xmllint --noout "$r/usr/share/xscreensaver/config/orbilon.xml" || fail "orbilon.xml is not well formed"
# Only an argument the front end has, and the name XScreenSaver runs.
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$r/usr/share/xscreensaver/config/orbilon.xml")" = orbilon ] ||
    fail "orbilon.xml names another hack"
[ "$(xmllint --xpath 'count(/screensaver/*[@arg or @arg-set])' "$r/usr/share/xscreensaver/config/orbilon.xml")" = 1 ] ||
    fail "orbilon.xml offers options the programs do not have"
for m in "$r"/usr/share/man/man*/*.gz; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$m" 2>&1 >"$stage/page") || fail "man -l $m failed"
    [ -z "$out" ] || fail "man -l $m warns: $out"
    [ "$(wc -l <"$stage/page")" -gt 10 ] || fail "man -l $m rendered almost nothing"
done
for s in 32 64 128; do
    file "$r/usr/share/icons/hicolor/${s}x$s/apps/orbilon.png" | grep -q "PNG image data, $s x $s" ||
        fail "icon ${s}x$s"
done

echo "== the installed watcher finds the installed front end"
mkdir -m 700 "$stage/config"
XDG_CONFIG_HOME=$stage/config "$r/usr/bin/orbilon-idle" --enable >/dev/null || fail "orbilon-idle --enable"
out=$(XDG_CONFIG_HOME=$stage/config WAYLAND_DISPLAY=no-such-display "$r/usr/bin/orbilon-idle" 2>&1)
grep -q "cannot connect to the Wayland display no-such-display" <<<"$out" ||
    fail "the installed orbilon-idle: $out"
rm -rf "$stage/config"

echo "== another prefix: the link still finds the front end"
DESTDIR=$stage/opt cmake --install "$B" --prefix /opt/orbilon >/dev/null 2>&1 || fail "install to /opt/orbilon"
[ "$(realpath "$stage/opt/usr/libexec/xscreensaver/orbilon")" = "$stage/opt/opt/orbilon/libexec/orbilon/Orbilon.scr" ] ||
    fail "with the prefix /opt/orbilon the link leads to $(realpath "$stage/opt/usr/libexec/xscreensaver/orbilon")"

echo "== started through the link, the front end runs the renderer beside its target"
HOME=$stage XDG_CONFIG_HOME=$stage/config "$link" /s & host=$!
"$X" wait Orbilon_VC 30 >/dev/null || fail "no renderer window: the front end did not find Orbilon.dll"
sleep 0.5
"$X" key space
ended $host 20 || fail "the saver did not end on a key"
[ "${rc:-1}" = 0 ] || fail "the saver ended with status $rc"

[ $failed = 0 ] && echo PASS
exit $failed
