#!/usr/bin/env bash
# orbilon-register on real files: none yet, a list, twice, --remove, a link, a file it cannot
# parse and one it cannot read (as an ordinary user: root reads everything). XScreenSaver's
# own reading of the result is covered by the daemon test.
set -u
reg=${1:?usage: register_cli_test.sh ORBILON-REGISTER}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
run() { HOME=$dir "$reg" "$@" >"$dir/out" 2>"$dir/err"; }

echo "== no file: one is made that lists Orbilon, with the usual rights"
run || fail "no file: status $?"
grep -q 'GL: .*orbilon --root.*\\n$' "$dir/.xscreensaver" || fail "no file: no entry in $(cat "$dir/.xscreensaver")"
[ "$(stat -c %a "$dir/.xscreensaver")" = "$(printf '%o' $((0666 & ~0$(umask))))" ] || fail "no file: mode"
[ -z "$(find "$dir" -name '.xscreensaver.*')" ] || fail "no file: a temporary file was left"
cp "$dir/.xscreensaver" "$dir/first"
run || fail "again: status $?"
cmp -s "$dir/first" "$dir/.xscreensaver" || fail "running twice changed the file"
grep -q 'already' "$dir/out" || fail "again: says $(cat "$dir/out")"

echo "== a list: Orbilon is appended, every other line kept, --remove gives the file back"
printf 'timeout:\t0:10:00\nprograms:\t\\\n\t\tmaze --root\t\\n\\\n  GL:\t\tgears --root\t\\n\n\nlock:\tFalse\n' \
    >"$dir/.xscreensaver"
chmod 640 "$dir/.xscreensaver"
cp "$dir/.xscreensaver" "$dir/list"
run || fail "list: status $?"
[ "$(grep -c orbilon "$dir/.xscreensaver")" = 1 ] || fail "list: $(cat "$dir/.xscreensaver")"
# The list's last line gains a continuation; the others stay as they were.
[ "$(grep -v -e orbilon -e gears "$dir/.xscreensaver")" = "$(grep -v gears "$dir/list")" ] || fail "list: lines changed"
[ "$(stat -c %a "$dir/.xscreensaver")" = 640 ] || fail "list: the file's rights changed"
run --remove || fail "remove: status $?"
cmp -s "$dir/list" "$dir/.xscreensaver" || fail "remove: not the same file: $(diff "$dir/list" "$dir/.xscreensaver")"
run --remove || fail "remove again: status $?"
grep -q 'not in' "$dir/out" || fail "remove again: says $(cat "$dir/out")"

echo "== a linked file stays a link; the file behind it is edited"
mkdir "$dir/dotfiles"
cp "$dir/list" "$dir/dotfiles/xscreensaver"
rm "$dir/.xscreensaver"
ln -s dotfiles/xscreensaver "$dir/.xscreensaver"
run || fail "link: status $?"
[ -L "$dir/.xscreensaver" ] || fail "link: replaced by a file"
grep -q orbilon "$dir/dotfiles/xscreensaver" || fail "link: the linked file was not edited"
rm "$dir/.xscreensaver"

echo "== a file it cannot parse is left alone, with a message and status 1"
printf 'timeout: 0:10:00\nthis is not a resource\nprograms: maze --root\n' >"$dir/.xscreensaver"
cp "$dir/.xscreensaver" "$dir/bad"
run; rc=$?
[ $rc = 1 ] || fail "bad: status $rc"
grep -q 'line 2' "$dir/err" || fail "bad: message $(cat "$dir/err")"
cmp -s "$dir/bad" "$dir/.xscreensaver" || fail "bad: the file changed"
run --remove; [ $? = 1 ] || fail "bad --remove: status"

echo "== a file it cannot read is left alone, with a message and status 1"
cp "$dir/list" "$dir/.xscreensaver"
chmod 000 "$dir/.xscreensaver"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$dir"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chown nobody "$dir/.xscreensaver"
fi
HOME=$dir "${as_user[@]}" "$reg" >"$dir/out" 2>"$dir/err"; rc=$?
[ $rc = 1 ] || fail "unreadable: status $rc"
grep -q 'cannot read' "$dir/err" || fail "unreadable: message $(cat "$dir/err")"
chmod 600 "$dir/.xscreensaver"
cmp -s "$dir/list" "$dir/.xscreensaver" || fail "unreadable: the file changed"

echo "== a folder it cannot write: the file is left whole"
chmod 644 "$dir/.xscreensaver"
chmod 555 "$dir"
HOME=$dir "${as_user[@]}" "$reg" >"$dir/out" 2>"$dir/err"; rc=$?
chmod 755 "$dir"
[ $rc = 1 ] || fail "read-only folder: status $rc"
cmp -s "$dir/list" "$dir/.xscreensaver" || fail "read-only folder: the file changed"

echo "== unknown options"
"$reg" --frobnicate >/dev/null 2>&1; [ $? = 2 ] || fail "unknown option: status"

[ $failed = 0 ] && echo PASS
exit $failed
