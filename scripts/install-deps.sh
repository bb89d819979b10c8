#!/usr/bin/env bash
# Installs the Debian packages mobu needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev libvorbis-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libfluidsynth-dev libcurl4-openssl-dev libpng-dev libjpeg62-turbo-dev libjpeg-turbo-progs zlib1g-dev libdeflate-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev liblua5.4-dev libunibreak-dev libsqlite3-dev
  fonts-ipafont timgm6mb-soundfont
  xvfb xauth xdotool x11-utils libxfixes-dev xfonts-base imagemagick sox vorbis-tools ffmpeg fluidsynth icoutils qpdf
  python3 python3-pil binutils help2man
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
