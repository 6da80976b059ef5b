#!/usr/bin/env bash
# sway_test.sh CASE: Orbilon.dll under a headless sway (layer shell; grim takes screenshots
# through screencopy, wtype types through the virtual keyboard, wl-pointer moves and clicks
# through the virtual pointer). Cases:
#   one, two, three  that many outputs of different sizes, each showing the whole composition
#                    at its own aspect ratio; a key typed through the compositor ends the run
#   pointer          small moves keep it, a jump of more than 4 pixels ends it; buttons 1-3 end
#                    it, a side button does not
#   outputs          an output added while it runs gets a surface of its own
#   toplevel         the full-screen xdg_toplevel path (as on compositors without layer shell) on
#                    two outputs: drawn on both, ended by a key and by the keyboard focus going
#                    to another workspace
#   frontend         Orbilon.scr /s with no X server: two started at once give one host and
#                    one renderer; a key ends the renderer and then the host; a bare start too
#   music            two Orbilon.scr /s started at once on two outputs play the music of
#                    Orbilon.ini once, in real time, until a key ends the run
#   dialog           Orbilon.scr /c with no X server shows the settings dialog; /c and /s
#                    started beside it end at once; Escape ends it with status 0, writing nothing
#   host             Orbilon.scr /s on an X display beside the Wayland session (as under
#                    XWayland; run under tests/with-xvfb.sh): the renderer runs on Wayland, the
#                    host watches its process, not an X window that never comes, and ends with it
set -u
here=$(dirname "$0")
# shellcheck source=../lib.sh
. "$here/../lib.sh"
# shellcheck source=wayland_lib.sh
. "$here/wayland_lib.sh"
dir=$(mktemp -d)
chmod 755 "$dir"
sway_pid=
pid=
keyboard_pid=
pointer_pid=
cleanup() {
    exec 5>&-
    for p in $pid $keyboard_pid $pointer_pid; do kill "$p" 2>/dev/null; done
    # sway's own children (Xwayland where installed) go with it.
    [ -n "$sway_pid" ] && pkill -P "$sway_pid" 2>/dev/null
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
setup_user

# stats RECT: image-stats of that rectangle of a screenshot of all outputs at once.
shot() { user grim "$dir/out/shot.png" 2>/dev/null; }
stats() { "$B/tests/image-stats" --spread "$dir/out/shot.png" $1; }

# drawn RECT...: true once every one of these rectangles shows coloured beads (20 s at most).
drawn() {
    local i r ok
    for ((i = 0; i < 40; i++)); do
        ok=1
        if shot; then
            for r in "$@"; do
                [ "$(stats "$r" | cut -d' ' -f4)" -gt 50 ] 2>/dev/null || ok=0
            done
        else
            ok=0
        fi
        [ "$ok" = 1 ] && return 0
        sleep 0.5
    done
    return 1
}

# shape_matches: the composition has the same shape and place on every output in the last
# shot, measured in units of each output's height (the field of view is vertical). Narrower
# outputs show less of it across, so each is compared on the centred part every output shows:
# a surface drawn at another aspect ratio than its own, stretched or off centre, differs there.
shape_matches() {
    local r x y w h min cw s out=()
    min=$(printf '%s\n' "${rects[@]}" | awk '{ a = $3 / $4; if (NR == 1 || a < m) m = a } END { print m }')
    for r in "${rects[@]}"; do
        read -r x y w h <<<"$r"
        cw=$(awk -v h="$h" -v m="$min" 'BEGIN { printf "%d", h * m }')
        s=$(stats "$((x + (w - cw) / 2)) $y $cw $h")
        echo "output $r, centre $cw wide: $s"
        out+=("$s")
    done
    printf '%s\n' "${out[@]}" | awk '
        { w = $1; h = $2; cx[NR] = ($5 - w / 2) / h; cy[NR] = ($6 - h / 2) / h
          rx[NR] = $7 / h; ry[NR] = $8 / h }
        END { bad = 0
              for (i = 2; i <= NR; i++) {
                  if (cx[i] - cx[1] > 0.05 || cx[1] - cx[i] > 0.05) bad = 1
                  if (cy[i] - cy[1] > 0.05 || cy[1] - cy[i] > 0.05) bad = 1
                  if (rx[i] > rx[1] * 1.15 || rx[i] < rx[1] / 1.15) bad = 1
                  if (ry[i] > ry[1] * 1.15 || ry[i] < ry[1] / 1.15) bad = 1
              }
              exit bad }'
}

# same_shape: shape_matches within 5 s. An output whose mode just changed shows the surface's
# old buffer, cropped, until the renderer's next frame at the new size reaches it.
same_shape() {
    local i report
    for ((i = 0; i < 10; i++)); do
        report=$(shape_matches) && { echo "$report"; return 0; }
        sleep 0.5
        shot
    done
    echo "$report"
    fail "the composition differs between the outputs"
}

outputs_case() {
    start_sway "$@"
    start_renderer
    drawn "${rects[@]}" || fail "not every output shows the composition"
    same_shape
    [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/sway-$#-outputs.png"
    running "drawing"
    user wtype a
    ends_with_zero "a key typed through the compositor"
}

case ${1:?} in
    one) outputs_case 1280x720 ;;
    two) outputs_case 1280x720 1024x768 ;;
    three) outputs_case 1280x720 1024x768 1440x900 ;;
    pointer)
        start_sway 1024x768
        pointer move 500 400
        start_renderer
        drawn "${rects[0]}" || fail "nothing drawn"
        # The first move, far as it is, never ends the run; the next is measured from where
        # the pointer entered.
        pointer move 20 20
        sleep 1
        running "the first move"
        pointer move 1 0
        ends_with_zero "a move after a far first one"
        start_renderer
        drawn "${rects[0]}" || fail "nothing drawn"
        pointer move 2 1 wait 200 move 3 1 wait 200 move 0 -4 wait 200 move -2 -2 wait 200 \
            move 4 0 wait 200 button 8
        sleep 1
        running "moves of 4 pixels or less, or the side button"
        pointer move 3 3
        ends_with_zero "a jump of 6 pixels"
        for b in 1 2 3; do
            start_renderer
            drawn "${rects[0]}" || fail "nothing drawn"
            pointer button "$b"
            ends_with_zero "button $b"
        done
        ;;
    outputs)
        # Removing an output cannot be tried here: sway 1.7's headless outputs refuse to be
        # disabled ("Failed to commit output"), and it has no command to unplug one.
        start_sway 1280x720 800x600
        start_renderer
        drawn "${rects[@]}" || fail "not every output shows the composition"
        user swaymsg -q create_output
        user swaymsg -q output HEADLESS-3 mode 640x480 position 2080 0
        rects+=("2080 0 640 480")
        drawn "${rects[@]}" || fail "the added output shows nothing"
        same_shape
        [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/sway-added-output.png"
        user wtype a
        ends_with_zero "a key after an output was added"
        ;;
    toplevel)
        start_sway 1280x720 1024x768
        start_renderer ORBILON_WAYLAND_SURFACE=toplevel
        drawn "${rects[@]}" || fail "not every output shows the composition"
        same_shape
        [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/sway-toplevels.png"
        user wtype a
        ends_with_zero "a key"
        start_renderer ORBILON_WAYLAND_SURFACE=toplevel
        drawn "${rects[@]}" || fail "not every output shows the composition"
        user swaymsg -q workspace 9
        ends_with_zero "the focus going to another workspace"
        ;;
    frontend)
        cp "$B/Orbilon.scr" "$dir/bin/"
        start_sway 1024x768
        user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" /s 2>"$dir/out/host1-err" &
        host1=$!
        user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" /s 2>"$dir/out/host2-err" &
        host2=$!
        drawn "${rects[0]}" || fail "the renderer shows nothing: $(cat "$dir/out/host1-err")"
        sleep 1
        hosts=$(pgrep -fc "^$dir/bin/Orbilon.scr")
        renderers=$(pgrep -fc "^$dir/bin/Orbilon.dll")
        [ "$hosts" = 1 ] && [ "$renderers" = 1 ] ||
            fail "$hosts hosts and $renderers renderers for two starts at once"
        pid=$(pgrep -f "^$dir/bin/Orbilon.dll")
        user wtype a
        for h in $host1 $host2; do
            if ended "$h" 10; then
                [ "$rc" = 0 ] || fail "a front end ended with status $rc"
            else
                fail "a front end did not end after the key"
            fi
        done
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && fail "the renderer is still running"
        # A bare start runs the saver too.
        user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" 2>"$dir/out/host1-err" &
        host1=$!
        drawn "${rects[0]}" || fail "a bare start shows nothing: $(cat "$dir/out/host1-err")"
        pid=$(pgrep -f "^$dir/bin/Orbilon.dll")
        user wtype a
        if ended "$host1" 10; then
            [ "$rc" = 0 ] || fail "a bare start ended with status $rc"
        else
            fail "a bare start did not end after the key"
        fi
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && fail "the renderer is still running"
        pid=
        ;;
    music)
        # A looping WAV of one second; each start's sink is a file of its own, through an fd
        # opened here (a filesink would empty its file at each restart of the loop).
        cp "$B/Orbilon.scr" "$dir/bin/"
        gst-launch-1.0 -q audiotestsrc num-buffers=8 samplesperbuffer=1000 \
            ! audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$dir/bin/tone.wav" ||
            fail "cannot make the test WAV"
        chmod 644 "$dir/bin/tone.wav"
        printf '[Section]\nBGM区分=2\nBGMﾘﾋﾟｰﾄ=0\nBGMﾌｧｲﾙ=%s\n' "$dir/bin/tone.wav" |
            iconv -f UTF-8 -t CP932 >"$dir/bin/Orbilon.ini"
        sink="audio/x-raw,rate=8000,channels=1,format=S16LE ! fdsink fd=3 sync=true"
        start_sway 1280x720 1024x768
        user ORBILON_AUDIO_SINK="$sink" "$dir/bin/Orbilon.scr" /s 3>>"$dir/out/m1.raw" &
        host1=$!
        user ORBILON_AUDIO_SINK="$sink" "$dir/bin/Orbilon.scr" /s 3>>"$dir/out/m2.raw" &
        host2=$!
        drawn "${rects[@]}" || fail "not every output shows the composition"
        pid=$(pgrep -f "^$dir/bin/Orbilon.dll")
        size() { stat -c %s "$dir/out/$1.raw"; }
        a1=$(size m1) a2=$(size m2)
        sleep 2
        b1=$(size m1) b2=$(size m2)
        # One stream in real time: 16000 bytes a second of 8-kHz 16-bit mono, into one sink.
        echo "music: $((b1 - a1)) and $((b2 - a2)) bytes in 2 s"
        grown=$((b1 - a1 + b2 - a2))
        { [ "$b1" = "$a1" ] || [ "$b2" = "$a2" ]; } && [ "$grown" -gt 20000 ] &&
            [ "$grown" -lt 48000 ] || fail "the music does not play once"
        user wtype a
        for h in $host1 $host2; do
            ended "$h" 10 || fail "a front end did not end after the key"
        done
        a1=$(size m1) a2=$(size m2)
        sleep 1
        [ "$(size m1)" = "$a1" ] && [ "$(size m2)" = "$a2" ] || fail "the music plays on"
        pid=
        ;;
    dialog)
        cp "$B/Orbilon.scr" "$dir/bin/"
        start_sway 1024x768
        user "$dir/bin/Orbilon.scr" /c 2>"$dir/out/dialog-err" &
        dialog=$!
        for ((i = 0; i < 100; i++)); do
            user swaymsg -t get_tree | grep -q '"name": "<Orbilon>"' && break
            sleep 0.1
        done
        user swaymsg -t get_tree | grep -q '"name": "<Orbilon>"' ||
            fail "no window titled <Orbilon>: $(cat "$dir/out/dialog-err")"
        sleep 1
        shot
        # sway's background is plain grey: the colour is the dialog's shadings.
        [ "$(stats "${rects[0]}" | cut -d' ' -f4)" -gt 5000 ] 2>/dev/null ||
            fail "the dialog is not drawn: $(stats "${rects[0]}")"
        [ -n "${ORBILON_SHOTS:-}" ] && cp "$dir/out/shot.png" "$ORBILON_SHOTS/sway-dialog.png"
        # No program sees another's window titles here: the dialog's lock keeps the guard.
        for args in /c /s; do
            user ORBILON_AUDIO_SINK=fakesink "$dir/bin/Orbilon.scr" $args 2>/dev/null &
            other=$!
            ended "$other" 5 || { fail "$args beside the open dialog runs on"; kill "$other"; }
        done
        pgrep -f "^$dir/bin/Orbilon.dll" >/dev/null && fail "a saver started beside the dialog"
        user wtype -k Escape
        if ended "$dialog" 10; then
            [ "$rc" = 0 ] || fail "the dialog ended with status $rc: $(cat "$dir/out/dialog-err")"
        else
            fail "Escape did not close the dialog"
            kill "$dialog"
        fi
        [ -e "$dir/bin/Orbilon.ini" ] || [ -e "$dir/home/.config/orbilon/Orbilon.ini" ] &&
            fail "Escape wrote Orbilon.ini"
        ;;
    host)
        cp "$B/Orbilon.scr" "$dir/bin/"
        start_sway 1024x768
        user DISPLAY="${DISPLAY:?run under tests/with-xvfb.sh}" ORBILON_AUDIO_SINK=fakesink \
            "$dir/bin/Orbilon.scr" /s 2>"$dir/out/host-err" &
        host=$!
        drawn "${rects[0]}" || fail "the renderer shows nothing"
        pid=$(pgrep -f "^$dir/bin/Orbilon.dll")
        # Past the time the host grants a renderer to show its window.
        sleep 11
        kill -0 "$host" 2>/dev/null || fail "the host ended while its renderer ran"
        user wtype a
        if ended "$host" 10; then
            [ "$rc" = 0 ] || fail "the host ended with status $rc: $(cat "$dir/out/host-err")"
        else
            fail "the host did not end with its renderer"
        fi
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && fail "the renderer is still running"
        pid=
        ;;
    *) echo "unknown case $1"; exit 2 ;;
esac
[ "$failed" = 0 ] && echo "PASS: $1"
exit "$failed"
