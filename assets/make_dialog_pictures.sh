#!/bin/sh
# Makes the settings dialog's pictures in this folder with ImageMagick 6:
#   marker_off.jpg  12 x 12  a music choice that is not selected: an empty
#                            light square with a grey border
#   marker_on.jpg   12 x 12  the selected choice: a square filled with blue
#   dialog_icon.jpg 32 x 32  the window icon: a small blue night sky with
#                            light curtains
# The JPEGs are committed and compiled into Miravel.scr; run this again only
# to change them. -strip drops time stamps and other metadata, 4:4:4 sampling
# keeps the one-pixel borders sharp.
set -eu
cd "$(dirname "$0")"
JPEG="-strip -sampling-factor 1x1 -quality 95"

convert -size 12x12 xc:'#F4F4F0' \
  -fill none -stroke '#8C8C8C' -strokewidth 1 -draw 'rectangle 0,0 11,11' \
  $JPEG marker_off.jpg

convert -size 12x12 xc:'#1E5AE6' \
  -fill none -stroke '#103C9C' -strokewidth 1 -draw 'rectangle 0,0 11,11' \
  $JPEG marker_on.jpg

# Sky from deep navy to a lighter blue near the horizon, a few stars, one
# curtain of light hanging from a wavy upper edge (violet fringe, bright green
# band, fading green rays) and a dark hill line, drawn from an MVG script.
MVG=$(awk 'BEGIN {
  print "fill #FFFFFF point 4,2 point 26,2 point 16,1 point 29,8"
  print "fill none stroke-width 1"
  for (x = 1; x <= 30; x++) {
    t = int(7 + 3 * sin(x / 5.0) + 0.5)
    printf "stroke #9A6CE0 line %d,%d %d,%d\n", x, t - 1, x, t - 1
    printf "stroke #8CFFC0 line %d,%d %d,%d\n", x, t, x, t + 3
    printf "stroke #2FB878 line %d,%d %d,%d\n", x, t + 4, x, t + 6 + 3 * (x % 3)
    if (x % 2 == 0) printf "stroke #1C6E70 line %d,%d %d,%d\n", x, t + 10 + x % 3, x, t + 15
  }
  print "stroke none fill #06101E polygon 0,31 0,27 8,24 16,26 24,23 31,25 31,31"
}')
convert -size 32x32 gradient:'#040A26-#143C8C' -draw "$MVG" $JPEG dialog_icon.jpg
