#!/usr/bin/env bash
# Makes the benchmark pictures, reproducibly, into the folder given (default:
# /tmp/tw-bench-pictures); a picture already there is kept:
#   photo.png  6000 × 4000, a plasma field with noise: very many colours
#   photo.jpg  the same as a JPEG of quality 90
#   few.png    the same reduced to 256 colours
#   rgba.png   1920 × 1080 with an alpha channel: opaque, partly transparent
#              and fully transparent areas
# Needs ImageMagick: scripts/setup --bench installs it. ImageMagick's
# resource policy must allow 24-megapixel pictures (Debian's default does).
set -euo pipefail
folder=${1:-/tmp/tw-bench-pictures}
mkdir -p "$folder"
cd "$folder"
[[ -e photo.png ]] || convert -seed 42 -size 6000x4000 plasma:fractal -blur 0x2 -seed 43 -attenuate 0.25 \
  +noise Gaussian -depth 8 PNG24:photo.png
[[ -e photo.jpg ]] || convert photo.png -quality 90 photo.jpg
[[ -e few.png ]] || convert photo.png +dither -colors 256 PNG24:few.png
# The alpha channel is a horizontal ramp from opaque to transparent with a
# fully opaque band at the top and a fully transparent one at the bottom.
[[ -e rgba.png ]] || convert photo.png -crop 1920x1080+0+0 +repage \
  \( -size 1080x1920 gradient:white-black -rotate 90 \
     -fill white -draw "rectangle 0,0 1919,199" -fill black -draw "rectangle 0,880 1919,1079" \) \
  -alpha off -compose CopyOpacity -composite -depth 8 PNG32:rgba.png
ls -l "$folder"
