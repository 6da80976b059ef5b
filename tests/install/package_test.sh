#!/usr/bin/env bash
# The Debian package made from the build (as `make package` makes it, into a folder of its
# own): Debian's name and version, dependencies found by dpkg-shlibdeps plus those loaded at
# run time, the hack link, and no lintian errors.
set -u
B=${ORBILON_BUILD:?}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cpack --config "$B/CPackConfig.cmake" -B "$out" >"$out/log" 2>&1 || { cat "$out/log"; exit 1; }
debs=("$out"/*.deb)
[ ${#debs[@]} = 1 ] || { echo "FAIL: ${#debs[@]} packages"; exit 1; }
deb=${debs[0]}
version=$(sed -n 's/^project(Orbilon VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ "$(basename "$deb")" = "orbilon_${version}-1_$(dpkg --print-architecture).deb" ] ||
    fail "file name $(basename "$deb")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orbilon ] || fail "Package: $(field Package)"
[ "$(field Version)" = "${version}-1" ] || fail "Version: $(field Version)"
for dep in libqt6widgets6 libx11-6 libgstreamer1.0-0 libcdio19 gstreamer1.0-plugins-good \
    gstreamer1.0-plugins-base fonts-ipafont-gothic libgl1-mesa-dri; do
    grep -qE "(^|, )$dep( |,|$)" <<<"$(field Depends)" || fail "Depends lacks $dep: $(field Depends)"
done
[ "$(field Suggests)" = "xscreensaver | mate-screensaver" ] || fail "Suggests: $(field Suggests)"
dpkg-deb -c "$deb" | grep -q ' ./usr/libexec/xscreensaver/orbilon -> ../orbilon/Orbilon.scr$' ||
    fail "no hack link in the package"
dpkg-deb -c "$deb" | grep -q ' ./usr/share/doc/orbilon/changelog.Debian.gz$' || fail "no changelog"
# Stripped programs: no debugging sections left.
dpkg-deb -x "$deb" "$out/root"
for p in "$out"/root/usr/libexec/orbilon/* "$out"/root/usr/bin/*; do
    objdump -h "$p" | grep -q '\.debug_' && fail "$p is not stripped"
done

lintian --no-tag-display-limit "$deb" >"$out/lintian" 2>&1
grep '^E:' "$out/lintian" && fail "lintian reports errors"
grep '^W:' "$out/lintian"

[ $failed = 0 ] && echo PASS
exit $failed
