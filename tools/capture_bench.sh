#!/usr/bin/env bash
# Benchmark of zyntrax-capture: the whole pass (373.5 s) at 1920 x 1080, 60 fps,
# to .mp4 (H.264 with x264's preset named by the tool, AAC). Reports the total
# time, the time spent painting frames and the time spent encoding them.
#   tools/capture_bench.sh [--slices N] [BINARY]
# With --slices N it captures N slices of 2 s spread evenly over the pass (each
# a separate run, start-up included) and extrapolates to the whole pass from
# their frame rate, for machines too busy for the full half hour.
# Needs an X display for now; without DISPLAY it starts Xvfb itself.
set -euo pipefail
cd "$(dirname "$0")/.."
slices=0
if [ "${1:-}" = "--slices" ]; then
  slices=$2
  shift 2
fi
binary=${1:-build/tools/zyntrax-capture}
[ -x "$binary" ] || { echo "capture_bench: no $binary (build the zyntrax-capture target)" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ -z "${DISPLAY:-}" ]; then
  export LIBGL_ALWAYS_SOFTWARE=1
  run=(xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX +render -noreset")
else
  run=()
fi
pass=373.5
frames_per_pass=22410
if [ "$slices" -gt 0 ]; then
  log=$out/log
  for ((i = 0; i < slices; i++)); do
    from=$(awk -v i="$i" -v n="$slices" -v p="$pass" 'BEGIN { printf "%.3f", (p - 2) * i / n }')
    to=$(awk -v f="$from" 'BEGIN { printf "%.3f", f + 2 }')
    "${run[@]}" "$binary" -o "$out/slice.mp4" --fps 60 --from "$from" --to "$to" | tee -a "$log"
  done
  # "wrote F: N frames in T s (painting P s, encoding E s)" per slice.
  awk -v fpp="$frames_per_pass" -v n="$slices" '
    { gsub(/[(),]/, ""); frames += $3; total += $6; paint += $9; enc += $12; cpu += $15 }
    END {
      startup = (total - paint - enc) / n
      k = fpp / frames
      printf "slices: %d frames in %.1f s (painting %.1f s, encoding %.1f s, start-up and finish %.1f s each)\n", frames, total, paint, enc, startup
      printf "whole pass, extrapolated: %.1f min (painting %.1f min, encoding %.1f min); %.1f ms a frame\n", (paint * k + enc * k + startup) / 60, paint * k / 60, enc * k / 60, (paint + enc) / frames * 1000
      printf "total / (painting + encoding): %.2f\n", (paint * k + enc * k + startup) / (paint * k + enc * k)
      printf "processor time: %.1f ms a frame (both cores together), %.1f min for the pass\n", cpu / frames * 1000, cpu * k / 60
    }' "$log"
else
  start=$(date +%s.%N)
  "${run[@]}" "$binary" -o "$out/pass.mp4" --fps 60 | tee "$out/log"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" '{ gsub(/[(),]/, ""); printf "whole pass: %.1f min (painting %.1f min, encoding %.1f min); total / (painting + encoding): %.2f\n", (e - s) / 60, $9 / 60, $12 / 60, (e - s) / ($9 + $12); printf "processor time: %.1f min\n", $15 / 60 }' "$out/log"
fi
