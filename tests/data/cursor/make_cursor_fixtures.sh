#!/bin/sh
# Writes the pointer fixtures: cursor and icon files made by icoutils from raw pixels, and
# animated cursors made from them by scripts/write_ani.py. Run: sh tests/data/cursor/make_cursor_fixtures.sh
set -eu
cd "$(dirname "$0")"
export LC_ALL=C

# Three 6 × 4 frames, one colour each with a transparent corner (alpha 0 at x=0, y=0); the
# raw references hold the RGBA pixels.
for spec in "0 200 30 30" "1 30 200 30" "2 30 30 200"; do
  set -- $spec
  awk -v r=$2 -v g=$3 -v b=$4 'BEGIN{for(y=0;y<4;y++)for(x=0;x<6;x++){a=(x==0&&y==0)?0:255;
    printf "%c%c%c%c", r, g+x*4, b+y*8, a}}' > frame$1.rgba
  convert -size 6x4 -depth 8 rgba:frame$1.rgba PNG32:frame$1.png
done
# Cursors with their hot spots, an icon (hot spot at the centre) and a cursor whose hot spot
# lies outside the image.
icotool -c --cursor --hotspot-x=1 --hotspot-y=2 -o frame0.cur frame0.png
icotool -c --cursor --hotspot-x=2 --hotspot-y=1 -o frame1.cur frame1.png
icotool -c -b 32 --cursor --hotspot-x=5 --hotspot-y=3 -o frame2.cur frame2.png
icotool -c -o frame1.ico frame1.png
icotool -c --cursor --hotspot-x=40 --hotspot-y=9 -o outside.cur frame0.png
rm -f frame0.png frame1.png frame2.png

# Animated: three frames in the order 2, 0, 1 at 3, 0 (one jiffy) and 6 jiffies; a plain
# one (no tables) at the header rate of 4; one with a step naming frame 7 (skipped).
python3 ../../../scripts/write_ani.py anim.ani --frames frame0.cur frame1.cur frame2.cur --rates 3 0 6 --seq 2 0 1
python3 ../../../scripts/write_ani.py plain.ani --frames frame0.cur frame1.cur --rate 4
python3 ../../../scripts/write_ani.py badseq.ani --frames frame0.cur frame1.cur --rates 2 2 2 --seq 1 7 0
# Damaged: more frames in the header than the file holds; more steps than the tables hold;
# more than 1,024 frames declared.
python3 ../../../scripts/write_ani.py short_frames.ani --frames frame0.cur frame1.cur --frame-count 3
python3 ../../../scripts/write_ani.py short_steps.ani --frames frame0.cur frame1.cur --rates 2 2 --step-count 5
python3 ../../../scripts/write_ani.py many_frames.ani --frames frame0.cur --frame-count 1025
