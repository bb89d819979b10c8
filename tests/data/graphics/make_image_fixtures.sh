#!/bin/sh
# Writes the image fixtures of the pixel store tests with ImageMagick and icoutils, so the
# files the readers are checked against come from programs nobody here wrote.
# Run from anywhere: sh tests/data/graphics/make_image_fixtures.sh
set -eu
cd "$(dirname "$0")"
export LC_ALL=C

# ref.rgba: 7 × 5 RGBA pixels (odd width to exercise row padding), a few of them with alpha 0
# or 128. Every other fixture is made from it and the raw references are written by convert.
awk 'BEGIN{for(y=0;y<5;y++)for(x=0;x<7;x++){a=255; if(x==6&&y==0)a=128; if(x==0&&y==4)a=0; if(x==3&&y==2)a=0;
  printf "%c%c%c%c", x*36+5, y*60+3, (x*y*17+40)%256, a}}' > ref.rgba
convert -size 7x5 -depth 8 rgba:ref.rgba PNG32:ref.png
convert ref.png -alpha off rgb:ref.rgb
# A 12-colour palette image and its colours, a 16-colour and a two-colour one.
convert ref.png -alpha off -colors 12 PNG8:pal.png
convert pal.png -alpha off rgb:pal.rgb
convert ref.png -alpha off -colors 16 -type Palette PNG8:pal16.png
convert pal16.png -alpha off rgb:pal16.rgb
convert ref.png -alpha off -monochrome PNG8:mono.png
convert mono.png -alpha off rgb:mono.rgb

# TGA: run-length 32 bits with alpha, raw 24 bits, raw palette, and one colour whose runs
# cross the row ends. ImageMagick writes its rows in the order it holds them and only marks
# the origin (bottom-left unless told otherwise; ffmpeg reads such files as we do), so the
# bottom-up files are made from the flipped image and hold the reference bottom row first.
convert ref.png -flip -compress RLE TGA:ref_rle32.tga
convert ref.png -alpha off -flip -compress None TGA:ref_raw24.tga
convert ref.png -alpha off -orient TopLeft -compress None TGA:ref_top24.tga
convert pal.png -flip -compress None -type Palette TGA:ref_pal8.tga
convert -size 7x5 xc:'#123456' -type TrueColor -compress RLE TGA:solid_rle.tga

# BMP: 24, 16 (5-6-5), 32 with alpha, 8-, 4- and 1-bit palettes.
convert ref.png -alpha off BMP3:ref24.bmp
convert ref.png -alpha off -define bmp:subtype=RGB565 BMP:ref565.bmp
convert ref.png BMP:ref32.bmp
convert pal.png -type Palette BMP3:ref8.bmp
convert pal16.png -type Palette BMP3:ref4.bmp
convert mono.png -type Bilevel BMP3:ref1.bmp

# Icons and cursors: 32 bits with alpha, a PNG image inside, an 8-bit palette icon, and a
# cursor with its hot spot at (3, 2).
icotool -c -o ref.ico ref.png
icotool -c -r ref.png -o ref_png.ico
icotool -c -b 8 -o pal8.ico pal.png
icotool -c --cursor -X 3 -Y 2 -o ref.cur ref.png

# PNG files whose one ancillary chunk claims about 1.8 GB that the file does not have: a text
# chunk and a colour profile chunk (keyword, method, the start of a zlib stream) placed after
# the header of ref.png, whose other chunks follow as if part of the claim. Readers must
# refuse them without allocating for the claim.
python3 - <<'PY'
import struct, zlib
png = open('ref.png', 'rb').read()
head, rest = png[:33], png[33:]  # signature and IHDR, then everything else
def lying_chunk(kind, start):
    return struct.pack('>I', 0x6C000000) + kind + start + struct.pack('>I', zlib.crc32(kind + start))
open('huge_text.png', 'wb').write(head + lying_chunk(b'tEXt', b'Comment\0lots of text') + rest)
profile = zlib.compress(struct.pack('>I', 0x7F000000) + b'\0' * 124 + b'acsp')
open('huge_iccp.png', 'wb').write(head + lying_chunk(b'iCCP', b'ICC profile\0\0' + profile) + rest)
PY

# Adam7-interlaced copies of the reference, with and without alpha: libpng hands these over
# in passes, not a row at a time.
convert ref.png -interlace PNG PNG32:ref_adam7.png
convert ref.png -alpha off -interlace PNG PNG24:ref_adam7_rgb.png
