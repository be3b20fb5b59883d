#!/usr/bin/env bash
# Benchmark of zyntrax-capture: the whole pass (its default span from 0) at
# 1920 x 1080, 60 fps, to .mp4 (H.264 with x264's default "veryfast" preset,
# AAC), then what a start costs before its first encoded frame, and its peak
# resident memory: starts at 0, 60 s, 370 s, 740 s and 7 days. Reports the
# total time and the painting, encoding and replay shares (painting and
# encoding overlap: encoding runs on its own thread beside the painting).
#   tools/capture_bench.sh [--portion SECONDS] [--no-pass] [--no-starts] [BINARY]
# With --portion S only the first S seconds of the pass are captured and the
# whole pass is extrapolated from their frame times, for machines too busy for
# the full run (the first scenes are not the dearest: say so when reporting).
# Peak memory is measured with GNU time (/usr/bin/time, Debian's "time").
set -euo pipefail
cd "$(dirname "$0")/.."
portion=""
pass=1
starts=1
while [ $# -gt 0 ]; do
  case "$1" in
    --portion) portion=$2; shift 2 ;;
    --no-pass) pass=0; shift ;;
    --no-starts) starts=0; shift ;;
    *) break ;;
  esac
done
binary=${1:-build/tools/zyntrax-capture}
[ -x "$binary" ] || { echo "capture_bench: no $binary (build the zyntrax-capture target)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "capture_bench: needs GNU time (/usr/bin/time)" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Frames of one pass at 60 fps on the frame grid: every row ends on the first
# frame past its duration (what a capture from 0 writes without --to).
frames_per_pass=22430
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "$pass" = 1 ]; then
  if [ -n "$portion" ]; then
    "$binary" -o "$out/pass.mp4" --fps 60 --to "$portion" | tee "$out/pass.log"
  else
    "$binary" -o "$out/pass.mp4" --fps 60 | tee "$out/pass.log"
  fi
  # "wrote F: N frames in T s (start-up U s, replay R s of M frames, painting P s,
  # encoding E s, processor S s)"
  awk -v fpp="$frames_per_pass" '
    { gsub(/[(),]/, ""); frames = $3; total = $6; startup = $9; paint = $18; enc = $21; cpu = $24 }
    END {
      k = fpp / frames
      whole = startup + (total - startup) * k
      printf "%d frames in %.1f s; per frame %.1f ms (painting %.1f ms, encoding %.1f ms, processor %.1f ms)\n", frames, total, (total - startup) / frames * 1000, paint / frames * 1000, enc / frames * 1000, cpu / frames * 1000
      printf "whole pass%s: %.1f min (painting %.1f min, encoding %.1f min, processor %.1f min)\n", (k > 1.0001 ? ", extrapolated" : ""), whole / 60, paint * k / 60, enc * k / 60, cpu * k / 60
      printf "painting share %.0f %%, encoding share %.0f %% of (painting + encoding)\n", 100 * paint / (paint + enc), 100 * enc / (paint + enc)
    }' "$out/pass.log"
fi
[ "$starts" = 1 ] || exit 0
# Each start captures six frames, so the time is almost all start-up and replay.
for from in 0 60 370 740 604800; do
  rm -f "$out/start.mp4"
  /usr/bin/time -f "%M" -o "$out/peak" "$binary" -o "$out/start.mp4" --fps 60 --from "$from" \
    --to "$(awk -v f="$from" 'BEGIN { printf "%.3f", f + 0.1 }')" >"$out/start.log"
  awk -v from="$from" -v peak="$(tail -1 "$out/peak")" '
    { gsub(/[(),]/, ""); printf "start at %s s: %.1f s in all, %.1f s before the first frame (start-up %.1f s, replay %.1f s of %d frames, %.2f ms a frame), peak resident memory %d MB\n", from, $6, $9 + $12, $9, $12, $15, ($15 > 0 ? $12 / $15 * 1000 : 0), peak / 1024 }' "$out/start.log"
done
