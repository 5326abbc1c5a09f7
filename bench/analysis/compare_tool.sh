#!/usr/bin/env bash
# The whole tintwright-palette run beside ImageMagick on the same picture:
# `identify -format %k` (only counts) and `convert -unique-colors txt:-`
# (only lists). Prints elapsed seconds and peak memory of each, and the tool's
# peak as a multiple of the decoded picture's 32-bit size (target: at most 6).
#   bench/analysis/compare_tool.sh BUILD_DIR [PICTURE_FOLDER]
# The pictures come from make_pictures.sh. The tool reads the PNG once its
# reader is built in, the 24-bit BMP copy until then; ImageMagick reads the
# same file. Needs ImageMagick and GNU time (scripts/setup --bench).
set -euo pipefail
source "$(dirname "$0")/../timing.sh"
tool=$1/app/palette_tool/tintwright-palette
pictures=${2:-/tmp/tw-bench-pictures}
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT

measure() {  # label, command...: elapsed and CPU seconds, peak MiB
  local label=$1
  shift
  if ! timed "$output" "$@"; then
    # e.g. ImageMagick's policy refusing the 3-million-pixel-wide list image
    printf '%-32s failed: %s\n' "$label" "$(first_error "$output")"
    return 0
  fi
  printf '%-32s %8.2f s elapsed %8.2f s CPU %6d MiB\n' "$label" "$seconds" "$cpu" "$((kib / 1024))"
  echo "$kib" > "$output/peak"
}

for name in photo few; do
  picture=$pictures/$name.png
  size=$(identify -format "%w %h" "$picture")
  read -r width height <<< "$size"
  echo "== $(basename "$picture") ($width x $height, $(identify -format %k "$picture") colours)"
  measure "tintwright-palette" "$tool" --output-dir "$output" "$picture"
  peak=$(cat "$output/peak")
  awk -v peak="$peak" -v w="$width" -v h="$height" \
    'BEGIN { printf "%-40s %7.2f x the 32-bit picture\n", "  peak memory", peak * 1024 / (w * h * 4) }'
  measure "identify -format %k" identify -format %k "$picture"
  measure "convert -unique-colors txt:-" convert "$picture" -unique-colors txt:-
done
