#!/usr/bin/env bash
# Makes the two benchmark pictures, reproducibly, into the folder given
# (default: /tmp/tw-bench-pictures):
#   photo.png  6000 × 4000, a plasma field with noise: very many colours
#   few.png    the same reduced to 256 colours
# Needs ImageMagick: scripts/setup --bench installs it. ImageMagick's
# resource policy must allow 24-megapixel pictures (Debian's default does).
set -euo pipefail
folder=${1:-/tmp/tw-bench-pictures}
mkdir -p "$folder"
cd "$folder"
convert -seed 42 -size 6000x4000 plasma:fractal -blur 0x2 -seed 43 -attenuate 0.25 +noise Gaussian \
  -depth 8 PNG24:photo.png
convert photo.png +dither -colors 256 PNG24:few.png
ls -l "$folder"
