#!/bin/sh
# Makes miravel.ico, the icon of both Windows programs (what Explorer, the
# Start menu and Apps & features show): the settings dialog's 32 x 32 picture
# at the sizes Windows asks for at every scaling, 16 to 256 pixels, in full
# colour (the 256 one stored as PNG, as Windows expects). The small sizes are
# scaled down smoothly; the large ones keep the picture's pixels crisp rather
# than smearing them. Committed; run this again only to change it.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d /tmp/miravel-icon.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
for size in 16 20 24; do
  convert dialog_icon.jpg -filter Lanczos -resize "${size}x${size}!" -strip PNG32:"$tmp/$size.png"
done
for size in 32 40 48 64 256; do
  convert dialog_icon.jpg -filter Point -resize "${size}x${size}!" -strip PNG32:"$tmp/$size.png"
done
convert "$tmp/16.png" "$tmp/20.png" "$tmp/24.png" "$tmp/32.png" "$tmp/40.png" "$tmp/48.png" \
  "$tmp/64.png" "$tmp/256.png" -strip miravel.ico
