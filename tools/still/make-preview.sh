#!/usr/bin/env bash
# make-preview.sh ORBILON-STILL FOLDER [--bmp]
# Makes FOLDER/preview.jpg: a frame with many coloured beads, rendered at eight times the
# preview pane's size and scaled down to 152 x 112, saved as a baseline JPEG; then
# FOLDER/preview.bmp from it, the same still as a 24-bit bottom-up BMP for the Windows build
# (GDI draws no JPEG). With --bmp only the BMP is made, from the JPEG already in FOLDER.
# The build's preview-still target runs it into frontend/launcher/preview.
set -eu
[ $# -ge 2 ] || { echo "usage: make-preview.sh ORBILON-STILL FOLDER [--bmp]" >&2; exit 2; }
still=$1 here=$2
if [ "${3:-}" != --bmp ]; then
  tmp=$(mktemp --suffix=.png) && trap 'rm -f "$tmp"' EXIT
  "$still" 7 2000 1216 896 "$tmp" && gst-launch-1.0 -q filesrc location="$tmp" ! pngdec ! videoconvert ! videoscale method=lanczos ! video/x-raw,width=152,height=112,format=I420 ! jpegenc quality=92 ! filesink location=$here/preview.jpg
fi

# 152 x 3 bytes a row is a multiple of 4: the rows need no padding.
w=152 h=112
pixels=$(mktemp) && trap 'rm -f "${tmp:-}" "$pixels"' EXIT
gst-launch-1.0 -q filesrc location=$here/preview.jpg ! jpegdec ! videoconvert \
  ! video/x-raw,format=BGR,width=$w,height=$h ! filesink location="$pixels"
size=$((w * h * 3))
[ "$(stat -c %s "$pixels")" -eq "$size" ] || { echo "make-preview: not a ${w}x$h picture" >&2; exit 1; }
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
{
  printf 'BM'; le32 $((54 + size)); le32 0; le32 54                # file header
  le32 40; le32 $w; le32 $h; printf '\x01\x00\x18\x00'; le32 0      # info header: 1 plane, 24 bits
  le32 $size; le32 3780; le32 3780; le32 0; le32 0                 # 96 DPI, no palette
  for ((row = h - 1; row >= 0; row--)); do                          # bottom row first
    dd if="$pixels" bs=$((w * 3)) skip=$row count=1 status=none
  done
} >$here/preview.bmp
