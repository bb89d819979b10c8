#!/bin/sh
# Draws the demo game's pictures with ImageMagick into OUT (the staged game folder the build
# packs), so that no picture is kept in the repository:
#   cg/title.fsk.png          title background, 640x480, night blue
#   cg/field.fsk.png          second screen background, 640x480, green
#   cg/dusk.fsk.png           the field's other background (the effect button switches them)
#   cg/radial.fsk.png         mask of the mask transitions: white in the middle, black corners
#   cg/tile.fsk.png           32x32 pattern repeated by the tile components
#   cg/sprite.fsk.d/          four 64x64 frames of a turning, colour-changing star
#   cg/btn_start.fsk.d/       picture button, 160x48: frame 0 normal, frame 1 hovered
#   cg/btn_back.fsk.d/        picture button, 120x40: frame 0 normal, frame 1 hovered
#   cg/btn_next.fsk.d/        picture button, 120x40: the field's next-effect button
#   cg/badge.fsk.png          64x64 emblem shown zoomed, rotated and translucent
#   cg/hint_f12.fsk.png       the title's hint "F12: screenshot", 120x16
#   cg/sign.fsk.png           160x80 two-part sign of the map image: "slow" left, "fast" right
#   cg/sign_lit.fsk.png       the same lit, shown inside the region under the mouse
#   cg/sign.map               the sign's two regions (the selection-map format)
#   cur/arrow.cur             the game's own default pointer (32x32, hot spot at the tip)
#   cur/hand.cur              a pointing hand over the title's start button
#   cur/spin.ani              an animated pointer over the field's sign: a turning bar
# Every picture but the sign's is written as 24- or 32-bit PNG so that frames never come out
# as palettes.
set -eu
out=${1:?usage: make_art.sh OUTDIR}
cg="$out/cg"
mkdir -p "$cg"
rm -rf "$cg/sprite.fsk.d" "$cg/btn_start.fsk.d" "$cg/btn_back.fsk.d" "$cg/btn_next.fsk.d"
mkdir -p "$cg/sprite.fsk.d" "$cg/btn_start.fsk.d" "$cg/btn_back.fsk.d" "$cg/btn_next.fsk.d"

# Title: a night sky from deep to lighter blue, a few stars, a dark hill line.
convert -size 640x480 gradient:'#0c1848-#3a5cb0' \
  -fill '#f0f0ff' \
  -draw 'circle 80,60 82,60' -draw 'circle 190,110 191,110' -draw 'circle 300,40 302,40' \
  -draw 'circle 420,90 421,90' -draw 'circle 530,50 532,50' -draw 'circle 600,140 601,140' \
  -fill '#fff2a0' -draw 'circle 520,120 548,120' \
  -fill '#08102c' -draw 'ellipse 160,490 270,120 180,360' -draw 'ellipse 500,500 250,100 180,360' \
  png24:"$cg/title.fsk.png"

# Second screen: a green field under a pale band.
convert -size 640x480 gradient:'#14502a-#2c9048' \
  -fill '#c8e8b0' -draw 'rectangle 0,0 639,36' \
  -fill '#0e3a1e' -draw 'rectangle 0,440 639,479' \
  png24:"$cg/field.fsk.png"

# The field at dusk: violet sky over an orange horizon, the same bands.
convert -size 640x480 gradient:'#402868-#e07838' \
  -fill '#f0c890' -draw 'rectangle 0,0 639,36' \
  -fill '#3a2030' -draw 'rectangle 0,440 639,479' \
  png24:"$cg/dusk.fsk.png"

# Transition mask: grey levels from white in the middle to black past the corners (a level
# is the moment a pixel turns: the middle first). True-colour grey, read as its grey value.
convert -size 640x480 radial-gradient:white-black -colorspace sRGB -type TrueColor \
  png24:"$cg/radial.fsk.png"

# Tile: a diamond on a two-tone square.
convert -size 32x32 xc:'#6a3c20' \
  -fill '#a0683a' -draw 'rectangle 0,0 15,15' -draw 'rectangle 16,16 31,31' \
  -fill '#e8c070' -draw 'polygon 16,4 28,16 16,28 4,16' \
  png24:"$cg/tile.fsk.png"

# Sprite: a five-pointed star turned by 18 degrees and recoloured in each frame.
i=0
for colour in '#ff4040' '#ffd020' '#40e060' '#40c0ff'; do
  angle=$((i * 18))
  convert -size 64x64 xc:none -fill "$colour" -stroke white -strokewidth 2 \
    -draw "translate 32,32 rotate $angle polygon 0,-28 7,-9 27,-9 11,4 17,24 0,12 -17,24 -11,4 -27,-9 -7,-9" \
    png32:"$cg/sprite.fsk.d/$i-120ms.png"
  i=$((i + 1))
done

# Picture buttons: a rounded plate with a light rim and a play (or back) arrow.
button() {  # button FOLDER WIDTH HEIGHT NORMAL HOVER ARROW
  n=0
  for plate in "$4" "$5"; do
    convert -size "$2x$3" xc:none -fill "$plate" -stroke '#f8f8f8' -strokewidth 3 \
      -draw "roundrectangle 2,2 $(($2 - 3)),$(($3 - 3)) 10,10" \
      -fill '#ffffff' -stroke none -draw "$6" \
      png32:"$1/$n.png"
    n=$((n + 1))
  done
}
button "$cg/btn_start.fsk.d" 160 48 '#b02838' '#f09018' 'polygon 68,12 68,36 96,24'
button "$cg/btn_back.fsk.d" 120 40 '#385088' '#50a0e0' 'polygon 46,20 70,8 70,32'
button "$cg/btn_next.fsk.d" 120 40 '#386838' '#60c060' 'polygon 40,8 40,32 58,20 polygon 62,8 62,32 80,20'

# The title's screenshot hint, in the player's own Japanese font (IPA P Gothic, which
# fontconfig finds; the install script installs it).
hint_font=$(fc-match -f '%{file}' 'IPAPGothic')
convert -size 120x16 xc:'#0c1848' -font "$hint_font" -pointsize 12 -fill '#c8d0e8' \
  -gravity east -annotate +4+0 'F12: screenshot' png24:"$cg/hint_f12.fsk.png"

# Emblem: a ring with a bar, drawn so that rotation and zoom are easy to see.
convert -size 64x64 xc:none -fill none -stroke '#ffe060' -strokewidth 6 -draw 'circle 32,32 32,8' \
  -stroke none -fill '#ff6060' -draw 'rectangle 8,28 56,36' -fill '#ffffff' -draw 'rectangle 28,8 36,20' \
  png32:"$cg/badge.fsk.png"

# The sign: a plate split in two, one chevron on the left half (slow), two on the right (fast).
# A map image builds its masks from the picture's transparent colour, not from an alpha
# channel: the sign is drawn without smoothing on magenta, which becomes the palette's one
# transparent entry.
sign() {  # sign FILE PLATE MARK
  convert -size 160x80 xc:'#ff00ff' +antialias -fill "$2" -stroke '#f0f0f0' -strokewidth 2 \
    -draw 'roundrectangle 1,1 78,78 8,8' -draw 'roundrectangle 81,1 158,78 8,8' \
    -stroke none -fill "$3" -draw 'polygon 30,24 46,40 30,56' \
    -draw 'polygon 104,24 120,40 104,56' -draw 'polygon 120,24 136,40 120,56' \
    -transparent '#ff00ff' png8:"$1"
}
sign "$cg/sign.fsk.png" '#505a64' '#c8d0d8'
sign "$cg/sign_lit.fsk.png" '#e8c020' '#402000'

# The selection map: int32 region count; per region its name (int32 length + bytes), shape 0
# (rectangle) and the inclusive box left, top, right, bottom as int32, little-endian.
int32() {  # one non-negative number as four little-endian bytes
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)))"
}
region() {  # region NAME LEFT TOP RIGHT BOTTOM
  int32 ${#1}
  printf '%s' "$1"
  printf '\000'
  int32 "$2"; int32 "$3"; int32 "$4"; int32 "$5"
}
{ int32 2; region slow 0 0 79 79; region fast 80 0 159 79; } > "$cg/sign.map"

# Pointers: drawn without smoothing (every pixel opaque or clear) as 32-bit PNG, turned into cursor files by icoutils; the animated one is
# put together by scripts/write_ani.py.
cur="$out/cur"
work="$out/cur.work"
mkdir -p "$cur" "$work"
convert -size 32x32 xc:none +antialias -fill '#ffe060' -stroke '#202020' -strokewidth 1 \
  -draw 'polygon 1,1 1,24 7,18 12,29 16,27 11,17 19,17' png32:"$work/arrow.png"
icotool -c --cursor --hotspot-x=1 --hotspot-y=1 -o "$cur/arrow.cur" "$work/arrow.png"
convert -size 32x32 xc:none +antialias -fill '#ffffff' -stroke '#202020' -strokewidth 1 \
  -draw 'roundrectangle 10,1 15,20 2,2' -draw 'roundrectangle 6,14 26,30 4,4' \
  -draw 'line 16,15 16,22' -draw 'line 21,15 21,22' png32:"$work/hand.png"
icotool -c --cursor --hotspot-x=12 --hotspot-y=1 -o "$cur/hand.cur" "$work/hand.png"
frames=""
for i in 0 1 2 3; do
  convert -size 32x32 xc:none +antialias -fill '#40c0ff' -stroke '#102040' -strokewidth 1 \
    -draw "translate 16,16 rotate $((i * 45)) roundrectangle -13,-3 13,3 2,2" \
    -fill '#ff4040' -draw 'circle 16,16 16,13' png32:"$work/spin$i.png"
  icotool -c --cursor --hotspot-x=16 --hotspot-y=16 -o "$work/spin$i.cur" "$work/spin$i.png"
  frames="$frames $work/spin$i.cur"
done
# Eight steps of 6 jiffies (a tenth of a second each): the four frames twice round.
python3 "$(dirname "$0")/../../../scripts/write_ani.py" "$cur/spin.ani" --frames $frames \
  --rates 6 6 6 6 6 6 6 6 --seq 0 1 2 3 0 1 2 3
rm -rf "$work"
