#!/usr/bin/env bash
# The palette tool's throughput over many pictures and its cost per format.
#   bench/palette_tool/batch_and_formats.sh BUILD_DIR [PICTURE_FOLDER]
# 1. Makes 20 pictures of 12 megapixels (4000 x 3000, a seeded plasma field,
#    each rolled by a different offset so that no two files are the same)
#    into PICTURE_FOLDER/batch/ and times one run over all of them with
#    --jobs 1 and with --jobs 2.
# 2. Times one run per format on photo.png (made by
#    bench/analysis/make_pictures.sh into PICTURE_FOLDER), and the default
#    pair for comparison.
# Uses hyperfine when installed (scripts/setup --bench), /usr/bin/time
# otherwise (RUNS and WARMUP set its counts, default 3 and 1). Needs
# ImageMagick.
set -euo pipefail
tool=$1/app/palette_tool/tintwright-palette
pictures=${2:-/tmp/tw-bench-pictures}
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT

batch=$pictures/batch
mkdir -p "$batch"
if [[ ! -f $batch/picture-20.png ]]; then
  convert -seed 7 -size 4000x3000 plasma:fractal -seed 8 -attenuate 0.2 +noise Gaussian -depth 8 \
    PNG24:"$batch/base.png"
  for i in $(seq 1 20); do
    convert "$batch/base.png" -roll +$((i * 173))+$((i * 89)) -define png:compression-level=1 \
      PNG24:"$batch/picture-$i.png"
  done
  rm -f "$batch/base.png"
fi

time_runs() {  # label, command...
  local label=$1
  shift
  if command -v hyperfine > /dev/null; then
    hyperfine -i --runs "${RUNS:-3}" --warmup "${WARMUP:-1}" --command-name "$label" "$*"
  else
    /usr/bin/time -f "$label: %e s elapsed, %U s user, %M KiB peak" "$@" > /dev/null
  fi
}

echo "== 20 pictures of 12 MP"
for jobs in 1 2; do
  rm -rf "${output:?}"/*
  time_runs "jobs $jobs" "$tool" --output-dir "$output" --jobs "$jobs" "$batch"/picture-*.png
done

echo "== photo.png, one format at a time"
for format in bmp,txt txt bmp png gpl ase aco pal hex csv json; do
  rm -rf "${output:?}"/*
  # aco refuses a photograph's millions of colours, which is part of the figure
  time_runs "format $format" "$tool" --output-dir "$output" --format "$format" "$pictures/photo.png" || true
done
