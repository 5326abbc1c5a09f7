#!/usr/bin/env bash
# The window's load road beside the palette tool's whole run, on the same
# pictures, in one printout:
#   window start     tintwright --quit-when-shown (start-up until first paint)
#   window load      tintwright --screenshot PICTURE OUT: start, the load
#                    button with PICTURE chosen, the count shown, the window
#                    painted and saved (start included)
#   tool             tintwright-palette --output-dir DIR PICTURE
# Elapsed and CPU seconds and peak memory of each, and the window's peak as a
# multiple of the decoded picture's 32-bit size: of each command the median
# of RUNS runs (default 5).
#   bench/window_load.sh BUILD_DIR [PICTURE_FOLDER]
# The pictures come from bench/analysis/make_pictures.sh; each of photo.png,
# photo.jpg and rgba.png found there is measured. Needs GNU time; the window
# runs off screen (QT_QPA_PLATFORM=offscreen).
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build=$1
pictures=${2:-/tmp/tw-bench-pictures}
window=$build/app/tintwright
tool=$build/app/palette_tool/tintwright-palette
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
export QT_QPA_PLATFORM=offscreen

measure() {  # label, command...: elapsed and CPU seconds, peak MiB
  local label=$1
  shift
  if ! timed_median "${RUNS:-5}" "$output" "$@"; then
    printf '%-22s failed: %s\n' "$label" "$(first_error "$output")"
    return 0
  fi
  printf '%-22s %6.2f s elapsed %6.2f s CPU (%5.2f user %5.2f system) %5d MiB\n' "$label" "$seconds" "$cpu" \
    "$user" "$system" "$((kib / 1024))"
  echo "$kib" > "$output/peak"
}

# The picture's pixel count, from ImageMagick when installed (0: unknown).
picture_pixels() {
  if command -v identify > /dev/null; then
    identify -format "%w %h" "$1[0]" | awk '{ print $1 * $2 }'
  else
    echo 0
  fi
}

measure "window start" "$window" --quit-when-shown
for name in photo.png photo.jpg rgba.png; do
  picture=$pictures/$name
  [ -f "$picture" ] || continue
  echo "== $name"
  measure "window load" "$window" --screenshot "$picture" "$output/shot.png"
  pixels=$(picture_pixels "$picture")
  if [ "$pixels" -gt 0 ] && [ -f "$output/peak" ]; then
    awk -v peak="$(cat "$output/peak")" -v pixels="$pixels" \
      'BEGIN { printf "%-22s %6.2f x the 32-bit picture\n", "  window peak", peak * 1024 / (pixels * 4) }'
  fi
  measure "tool" "$tool" --output-dir "$output" "$picture"
done
