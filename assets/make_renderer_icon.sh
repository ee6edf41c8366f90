#!/bin/sh
# Makes renderer.ico, the Windows renderer's class icon (resource 7002): the
# dialog's 32 x 32 picture in 16 colours, one image, as the class icon has
# always been. Committed; run this again only to change it.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp /tmp/renderer-icon.XXXXXX.bmp)
trap 'rm -f "$tmp"' EXIT
convert dialog_icon.jpg -resize '32x32!' -dither None -colors 16 -type Palette BMP3:"$tmp"
convert "$tmp" ico:renderer.ico
