#!/usr/bin/env bash
# "設定" when the settings file cannot be replaced: the failure is reported, the dialog stays
# open, and Orbilon.ini is left byte for byte as it was. Cases: a file whose saved form would be
# too big to read back, a read-only folder and a read-only file (the last two as an unprivileged
# user: as root, nobody). The program folder's name holds "<b>", which the message shows as text.
# ORBILON_SHOT=FILE.png keeps a screenshot of the last failure message.
set -u
. "$(dirname "$0")/../lib.sh"
B=${ORBILON_BUILD:?}
X=$B/xtool
top=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$top"' EXIT
chmod 755 "$top"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
field() { $X info "$1" | sed -n "s/^$2=//p"; }
mapped() {
    for _ in $(seq 1 100); do
        $X info "$1" | grep -q '^mapped=1' && return 0
        sleep 0.2
    done
    return 1
}

# message SECONDS: the id of the mapped message box (the application also keeps a hidden window
# with the same title), once one appears.
message() {
    local i w
    for ((i = 0; i < $1 * 5; i++)); do
        for w in $($X find "Orbilon (ScreenSaver)"); do
            $X info "$w" | grep -q '^mapped=1' && echo "$w" && return 0
        done
        sleep 0.2
    done
    return 1
}

# The user the dialog runs as: root would write through any permission.
as_user=()
owned() { :; }
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    owned() { chown nobody:nogroup "$@"; }
fi

# fresh NAME: a program folder "$top/NAME/x<b>bold" with Orbilon.scr and a renderer stand-in.
fresh() {
    dir=$top/$1/'x<b>bold'
    mkdir -p "$dir" "$top/$1/home"
    chmod 755 "$top/$1" "$dir"
    owned "$top/$1/home"
    cp "$B/Orbilon.scr" "$dir/"
    : >"$dir/Orbilon.dll"
    chmod 644 "$dir/Orbilon.dll"
    ini=$dir/Orbilon.ini
}

# save_fails NAME: opens the dialog, clicks "設定", expects the failure message while the
# dialog stays open, then closes both and compares the file with its copy.
save_fails() {
    cp -p "$ini" "$top/$1.before"
    HOME=$top/$1/home "${as_user[@]}" "$dir/Orbilon.scr" /c &
    pid=$!
    id=$($X wait "<Orbilon>" 20) || fail "$1: no window titled <Orbilon>"
    mapped "$id" || fail "$1: the dialog never appeared"
    sleep 0.5
    x=$(($(field "$id" x) + 320 + 36)) y=$(($(field "$id" y) + 200 + 12))
    $X move $((x - 10)) "$y"
    sleep 0.3
    $X move "$x" "$y"
    sleep 0.3
    $X button 1
    box=$(message 30) || fail "$1: the failed save was not reported"
    sleep 0.5
    [ -n "${ORBILON_SHOT:-}" ] && $X screenshot "$ORBILON_SHOT"
    kill -0 "$pid" 2>/dev/null || fail "$1: the dialog ended after a failed save"
    $X close "$box"
    for _ in $(seq 1 50); do
        $X info "$box" | grep -q '^mapped=1' || break
        sleep 0.2
    done
    $X info "$box" | grep -q '^mapped=1' && fail "$1: the message did not close"
    $X find "<Orbilon>" >/dev/null || fail "$1: the dialog closed with the message"
    $X close "$id"
    ended "$pid" 20 || fail "$1: closing the dialog did not end the process"
    pid=
    cmp "$top/$1.before" "$ini" || fail "$1: Orbilon.ini changed"
    ls -A "$(dirname "$ini")" | grep -q '\.tmp$' && fail "$1: a temporary file was left"
    echo "$1: reported, file unchanged"
}

crlf() { printf '%s\r\n' "$@"; }

# 1. 5 bytes under the reader's 16 MiB: the three keys would push it over, so none is written.
fresh big
{
    crlf '[Section]'
    head -c $((16 * 1024 * 1024 - 5 - 11)) /dev/zero | tr '\0' ';'
} >"$ini"
[ "$(stat -c %s "$ini")" -eq $((16 * 1024 * 1024 - 5)) ] || fail "big file has the wrong size"
owned "$dir" "$ini"
save_fails big

# 2. A read-only folder: the file is the user's, but no new file can replace it.
fresh folder
crlf '[Section]' 'BGM=1' >"$ini"
owned "$ini"
chmod 555 "$dir"
save_fails folder

# 3. A read-only file in the user's own folder.
fresh file
crlf '[Section]' 'BGM=1' >"$ini"
owned "$dir"
if [ "$(id -u)" = 0 ]; then chmod 644 "$ini"; else chmod 444 "$ini"; fi
save_fails file

echo "dialog save test passed"
