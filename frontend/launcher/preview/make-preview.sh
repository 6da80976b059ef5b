#!/usr/bin/env bash
# Makes preview.jpg again: a frame of the art with many coloured beads, rendered at eight
# times the pane's size and scaled down to 152 x 112, saved as a baseline JPEG.
# Run from the repository root after building (needs build/orbilon-still).
set -eu
tmp=$(mktemp --suffix=.png) && trap 'rm -f "$tmp"' EXIT
build/orbilon-still 7 2000 1216 896 "$tmp" && gst-launch-1.0 -q filesrc location="$tmp" ! pngdec ! videoconvert ! videoscale method=lanczos ! video/x-raw,width=152,height=112,format=I420 ! jpegenc quality=92 ! filesink location=frontend/launcher/preview/preview.jpg
