#!/usr/bin/env bash
# Makes the media test fixtures with sox, oggenc and oggdec (tools nobody here wrote), and
# beside each one what those tools decode it to: "NAME.f32" (sox, raw 32-bit float,
# interleaved) or "NAME.s16" (oggdec, raw 16-bit). Run from anywhere; rewrites this folder.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.wav ./*.ogg ./*.f32 ./*.s16 ./*.ff32 ./*.wma ./*.mpg

tone() {  # tone OUT RATE CHANNELS SECONDS sox-output-options...
  local out=$1 rate=$2 channels=$3 seconds=$4; shift 4
  sox -D -n -r "$rate" -c "$channels" "$@" "$out" synth "$seconds" sine 440 sine 660 sine 1000 \
    sine 220 sine 330 sine 550 sine 770 sine 880 remix - vol 0.7 2>/dev/null ||
  sox -D -n -r "$rate" -c "$channels" "$@" "$out" synth "$seconds" sine 440 vol 0.7
}

# Every PCM depth and float, A-law and µ-law, several rates and channel counts.
tone u8_8k_mono.wav 8000 1 0.05 -e unsigned-integer -b 8
tone s16_22k_mono.wav 22050 1 0.05 -e signed-integer -b 16
tone s16_44k_stereo.wav 44100 2 0.05 -e signed-integer -b 16
tone s24_96k_stereo.wav 96000 2 0.02 -e signed-integer -b 24
tone s32_48k_stereo.wav 48000 2 0.02 -e signed-integer -b 32
tone f32_44k_stereo.wav 44100 2 0.02 -e floating-point -b 32
tone f64_32k_mono.wav 32000 1 0.02 -e floating-point -b 64
tone s16_48k_6ch.wav 48000 6 0.02 -e signed-integer -b 16
tone alaw_8k_mono.wav 8000 1 0.05 -e a-law
tone ulaw_8k_mono.wav 8000 1 0.05 -e u-law
tone imaadpcm_22k_mono.wav 22050 1 0.05 -e ima-adpcm
tone msadpcm_22k_mono.wav 22050 1 0.05 -e ms-adpcm
for f in *.wav; do
  sox -D "$f" -t f32 -e floating-point "${f%.wav}.f32"
done

# Ogg Vorbis: one stream, and a chained file of two links; oggdec decodes each stream to
# 16-bit (the chain's oracle is its two links decoded one after the other).
sox -D -n -r 44100 -c 2 -b 16 tone_a.wav synth 0.3 sine 440 sine 660 vol 0.5
sox -D -n -r 44100 -c 2 -b 16 tone_b.wav synth 0.2 sine 880 sine 990 vol 0.5
oggenc -Q -q 4 -o stereo_44k.ogg tone_a.wav
oggenc -Q -q 4 -o stereo_44k_b.ogg tone_b.wav
cat stereo_44k.ogg stereo_44k_b.ogg > chained.ogg
oggdec -Q -b 16 -R -o stereo_44k.s16 stereo_44k.ogg
oggdec -Q -b 16 -R -o link_b.s16 stereo_44k_b.ogg
cat stereo_44k.s16 link_b.s16 > chained.s16
# A chain whose second link has its own rate and channel count (22050 Hz mono, 1000 Hz):
# it must keep its pitch and length inside the 44100 Hz stereo stream.
sox -D -n -r 22050 -c 1 -b 16 tone_c.wav synth 0.25 sine 1000 vol 0.5
oggenc -Q -q 4 -o link_c.ogg tone_c.wav
cat stereo_44k.ogg link_c.ogg > chained_rates.ogg
oggdec -Q -b 16 -R -o link_c.s16 link_c.ogg
rm -f tone_a.wav tone_b.wav tone_c.wav stereo_44k_b.ogg link_b.s16 link_c.ogg

# Codecs through libavformat/libavcodec, made and decoded by ffmpeg: WMA v1 and v2 in ASF,
# an MPEG-1 movie with an MP2 sound track, MP3 in a wave file; the CD track files of a
# game folder ("cdda/track02.flac" and "cdda/03 - Song.ogg").
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.5" -ac 2 -c:a wmav1 -b:a 64k wmav1.wma
ff -f lavfi -i "sine=frequency=660:sample_rate=22050:duration=0.5" -ac 1 -c:a wmav2 -b:a 48k wmav2.wma
ff -f lavfi -i "testsrc=size=64x48:rate=25:duration=1,hue=H=2*PI*t*3:s=2" -f lavfi -i "sine=frequency=1000:sample_rate=44100:duration=1" \
   -c:v mpeg1video -c:a mp2 -b:a 128k -f mpeg movie.mpg
ff -f lavfi -i "sine=frequency=500:sample_rate=22050:duration=0.3" -ac 1 -c:a libmp3lame -b:a 32k -f wav mp3_in.wav 2>/dev/null ||
ff -f lavfi -i "sine=frequency=500:sample_rate=22050:duration=0.3" -ac 1 -c:a mp3 -b:a 32k -f wav mp3_in.wav
for f in wmav1.wma wmav2.wma movie.mpg mp3_in.wav; do
  ff -i "$f" -vn -f f32le -c:a pcm_f32le "${f%.*}.ff32"
done
rm -rf game_cdda && mkdir -p game_cdda/CDDA
sox -D -n -r 44100 -c 2 -b 16 game_cdda/CDDA/track02.flac synth 1.5 sine 330
sox -D -n -r 44100 -c 2 -b 16 game_cdda/tone3.wav synth 2.2 sine 550
oggenc -Q -q 2 -o "game_cdda/CDDA/03 - Song.ogg" game_cdda/tone3.wav && rm game_cdda/tone3.wav
printf 'not a track' > game_cdda/CDDA/readme.txt

# The movie's pictures as ffmpeg converts them (32-bit B G R X rows, every frame).
ff -i movie.mpg -an -f rawvideo -pix_fmt bgr0 movie.bgr0
