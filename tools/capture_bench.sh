#!/usr/bin/env bash
# Benchmark of zyntrax-capture: the whole pass (373.5 s) at 1920 x 1080, 60 fps,
# to .mp4 (H.264 with x264's "veryfast" preset, AAC). Reports the total time,
# the time spent painting frames and the time spent encoding them (the two
# overlap: encoding runs on its own thread beside the painting).
#   tools/capture_bench.sh [--slices N] [BINARY]
# With --slices N it captures N slices of 2 s spread evenly over the pass (each
# a separate run) and extrapolates to the whole pass from their frame times,
# for machines too busy for the full half hour.
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
pass=373.5
frames_per_pass=22410
log=$out/log
if [ "$slices" -gt 0 ]; then
  for ((i = 0; i < slices; i++)); do
    from=$(awk -v i="$i" -v n="$slices" -v p="$pass" 'BEGIN { printf "%.3f", (p - 2) * i / n }')
    to=$(awk -v f="$from" 'BEGIN { printf "%.3f", f + 2 }')
    "$binary" -o "$out/slice.mp4" --fps 60 --from "$from" --to "$to" | tee -a "$log"
  done
else
  "$binary" -o "$out/pass.mp4" --fps 60 | tee "$log"
fi
# "wrote F: N frames in T s (start-up U s, painting P s, encoding E s, processor S s)" per run.
awk -v fpp="$frames_per_pass" '
  { gsub(/[(),]/, ""); runs++; frames += $3; total += $6; startup += $9; paint += $12; enc += $15; cpu += $18 }
  END {
    k = fpp / frames
    whole = startup / runs + (total - startup) * k
    printf "%d frames in %.1f s over %d run(s); per frame %.1f ms (painting %.1f ms, encoding %.1f ms, processor %.1f ms)\n", frames, total, runs, (total - startup) / frames * 1000, paint / frames * 1000, enc / frames * 1000, cpu / frames * 1000
    printf "whole pass%s: %.1f min (painting %.1f min, encoding %.1f min, processor %.1f min)\n", (runs > 1 ? ", extrapolated" : ""), whole / 60, paint * k / 60, enc * k / 60, cpu * k / 60
    printf "total / (painting + encoding): %.2f\n", whole / ((paint + enc) * k)
  }' "$log"
