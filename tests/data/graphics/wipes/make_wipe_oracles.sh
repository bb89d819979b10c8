#!/bin/sh
# Pictures the transition tests compare with, made by tools nobody here wrote:
#   blur_source.rgb    60x40 RGB: ImageMagick's plasma-free pattern of gradients and quadrants
#   blur_r2.rgb        the same through Pillow's ImageFilter.BoxBlur(2) (the blur transitions'
#                      radius for a 60x40 screen is min(60, 40) / 20 = 2)
#   circle_R.gray      40x30 grey, 255 inside ImageMagick's `-draw circle` of radius R round
#                      (20, 15), drawn without smoothing
#   pie_NAME.gray      41x41 grey, 255 inside Pillow's ImageDraw.pieslice slices of the clock
#                      hand, fan and double fan (centre (20, 20), radius hypot(20, 20)) at the
#                      positions the test names (of a duration of 1000, θ0 = 2° − 90°)
# Run from this folder with Debian's python3 (python3-pil) and ImageMagick; the outputs are
# committed.
set -eu
cd "$(dirname "$0")"
convert -size 60x40 gradient:'#ff2000-#0040ff' \
  \( -size 30x20 xc:'#20e040' -size 30x20 xc:'#f0f0f0' +append \) -geometry +15+10 -composite \
  -fill '#000000' -draw 'rectangle 40,0 44,39' -depth 8 rgb:blur_source.rgb
for r in 5 10 15; do
  convert -size 40x30 xc:black +antialias -fill white -draw "circle 20,15 $((20 + r)),15" -depth 8 \
    gray:circle_$r.gray
done
/usr/bin/python3 - <<'PY'
import math
from PIL import Image, ImageDraw, ImageFilter
src = Image.frombytes("RGB", (60, 40), open("blur_source.rgb", "rb").read())
open("blur_r2.rgb", "wb").write(src.filter(ImageFilter.BoxBlur(2)).tobytes())
r = math.hypot(20, 20)
box = [20 - r, 20 - r, 20 + r, 20 + r]
theta0 = 2 - 90
def pie(name, slices):
    im = Image.new("L", (41, 41), 0)
    d = ImageDraw.Draw(im)
    for a, b in slices:
        d.pieslice(box, a, b, fill=255)
    open("pie_%s.gray" % name, "wb").write(im.tobytes())
for p in (125, 250, 500, 700):
    pie("clock_%d" % p, [(theta0, theta0 + 360 * p / 1000)])
for p in (250, 500, 800):
    h = 180 * p / 1000
    pie("fan_%d" % p, [(theta0 - h, theta0 + h)])
    h = 90 * p / 1000
    pie("wfan_%d" % p, [(theta0 - h, theta0 + h), (theta0 + 180 - h, theta0 + 180 + h)])
PY
