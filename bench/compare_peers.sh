#!/usr/bin/env bash
# The whole tintwright-palette run beside its peers, in one go on the same
# machine, for each benchmark picture: ImageMagick counting
# (`identify -format %k`), ImageMagick decoding alone (`convert FILE null:`)
# and the peers' whole job in Pillow + numpy (py_palette.py). Prints elapsed
# and CPU seconds and peak memory of each, the tool's time as a multiple of
# each peer's, and the tool's peak as a multiple of the 32-bit picture. The
# tool and the decode alone run RUNS times (default 5), each giving the
# figures of its median run; the slow peers run once.
#   bench/compare_peers.sh BUILD_DIR [PICTURE_FOLDER]
# The pictures come from analysis/make_pictures.sh; py_palette.py is looked
# for in ../shared/bench/ beside the repository (PY_PALETTE overrides it).
# Needs ImageMagick, GNU time, python3-pil and python3-numpy
# (scripts/setup --bench).
set -euo pipefail
source "$(dirname "$0")/timing.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
tool=$build/app/palette_tool/tintwright-palette
pictures=$(cd "${2:-/tmp/tw-bench-pictures}" && pwd)
py_palette=${PY_PALETTE:-$root/../shared/bench/py_palette.py}
# Debian's Pillow and numpy belong to the system's Python, which another
# python3 earlier in PATH may not see.
python=${PYTHON:-/usr/bin/python3}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ImageMagick's default policy refuses some of these pictures.
mkdir -p "$work/policy" "$work/out"
cat > "$work/policy/policy.xml" <<'POLICY'
<policymap>
  <policy domain="resource" name="memory" value="16GiB"/>
  <policy domain="resource" name="map" value="16GiB"/>
  <policy domain="resource" name="width" value="1GP"/>
  <policy domain="resource" name="height" value="1GP"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
POLICY
export MAGICK_CONFIGURE_PATH=$work/policy

measure() {  # key, label, runs, command...: prints elapsed, CPU, peak; keeps them
  local key=$1 label=$2 runs=$3
  shift 3
  # Run inside the output folder: the tool writes its files there.
  if ! timed_median "$runs" "$work" env -C "$work/out" "$@"; then
    printf '  %-30s failed: %s\n' "$label" "$(first_error "$work")"
    return 0
  fi
  printf '  %-30s %7.2f s elapsed %6.2f s CPU (%5.2f user %5.2f system) %6d MiB\n' "$label" "$seconds" "$cpu" \
    "$user" "$system" "$((kib / 1024))"
  echo "$seconds $kib $cpu" > "$work/$key"
}

ratio() {  # label, key: the tool's elapsed and CPU time over a peer's
  [[ -e $work/tool && -e $work/$2 ]] || return 0
  read -r tool_seconds _ tool_cpu < "$work/tool"
  read -r peer_seconds _ peer_cpu < "$work/$2"
  awk -v label="$1" -v a="$tool_seconds" -v b="$peer_seconds" -v c="$tool_cpu" -v d="$peer_cpu" \
    'BEGIN { if (b > 0 && d > 0) printf "  %-30s %7.2f x elapsed %6.2f x CPU\n", label, a / b, c / d }'
}

echo "machine: $(nproc) cores, $(uptime | sed 's/.*load/load/'); quick commands: median of $runs runs"
for name in photo.png photo.jpg few.png rgba.png; do
  picture=$pictures/$name
  [[ -e $picture ]] || { echo "== $name missing (run bench/analysis/make_pictures.sh)"; continue; }
  read -r width height < <(identify -format "%w %h\n" "$picture" | head -1)
  echo "== $name ($width x $height)"
  rm -f "$work"/{tool,identify,convert,python}
  # The quick commands that the targets compare run several times each
  # (RUNS, default 5) and give their median run; the slow peers run once.
  measure tool "tintwright-palette" "$runs" "$tool" --output-dir "$work/out" "$picture"
  measure identify "identify -format %k" 1 identify -format %k "$picture"
  measure convert "convert FILE null:" "$runs" convert "$picture" null:
  measure python "py_palette.py" 1 "$python" "$py_palette" "$picture"
  ratio "tool / convert null:" convert
  ratio "tool / identify %k" identify
  ratio "tool / py_palette.py" python
  [[ -e $work/tool ]] && awk -v kib="$(cut -d' ' -f2 "$work/tool")" -v w="$width" -v h="$height" \
    'BEGIN { printf "  %-30s %7.2f x the 32-bit picture\n", "tool peak memory", kib * 1024 / (w * h * 4) }'
done

# The window's load road (choose the picture, count shown, first paint) is
# measured by its own script; its printout belongs beside the tool's.
# ---- window benchmark: begin ----
if [[ -x $root/bench/window_load.sh ]]; then
  echo "== window load road"
  "$root/bench/window_load.sh" "$build" "$pictures"
fi
# ---- window benchmark: end ----
