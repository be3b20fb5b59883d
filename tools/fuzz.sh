#!/usr/bin/env bash
# Fuzzes the file loaders with libFuzzer: builds the clang fuzz build in
# build-fuzz, makes seed files from the carried pictures, with sox and (for Ogg
# Vorbis) damaged chains from make_vorbis_seeds, and runs one target (png, wave,
# vorbis, or all of them in turn) for SECONDS each, in fork mode on every core.
# Each target first reads every kept file and seed once. What the fuzzer learns
# stays in build-fuzz/corpus/TARGET; a crash fails the script and leaves its
# input in build-fuzz/crashes/ (keep it in tests/fuzz/regressions/).
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
# -runs=N ends a target after N executions (within SECONDS); the script says
# when SECONDS ran out first.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: tools/fuzz.sh png|wave|vorbis|all SECONDS [libFuzzer options]}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
build=build-fuzz

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZYNTRAX_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target fuzz_png fuzz_wave fuzz_vorbis make_vorbis_seeds >/dev/null

# Seeds: small carried pictures, and short sounds in the formats the readers know.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/png" "$seeds/wave" "$seeds/vorbis"
cp assets/pulse_r.png assets/pulse_g.png assets/pulse_b.png assets/ship.png "$seeds/png/"
tone() { sox -q -n "$@" synth 0.02 sine 440; }
tone -r 8000 -c 1 -b 8 "$seeds/wave/u8-mono.wav"
tone -r 22050 -c 2 -b 16 "$seeds/wave/s16-stereo.wav"
tone -r 44100 -c 2 -b 24 "$seeds/wave/s24-stereo.wav"
tone -r 16000 -c 4 -b 32 "$seeds/wave/s32-quad.wav"
tone -r 48000 -c 1 -e floating-point -b 32 "$seeds/wave/f32-mono.wav"
tone -r 8000 -c 1 "$seeds/vorbis/mono.ogg"
tone -r 11025 -c 2 "$seeds/vorbis/stereo.ogg"
cat "$seeds/vorbis/mono.ogg" "$seeds/vorbis/mono.ogg" > "$seeds/vorbis/chained.ogg"
# Chains cut short, spliced into one another, with pages repeated, dropped or
# renumbered: their checksums stay valid, so the damage reaches the decoder.
"$build/tests/fuzz/make_vorbis_seeds" "$seeds/vorbis" tests/fuzz/corpus/vorbis/chained-same.ogg \
  "$seeds/vorbis/mono.ogg" "$seeds/vorbis/stereo.ogg"

# The leak suppression names a function, so the sanitizers' stacks must be
# symbolized: without llvm-symbolizer libvorbisfile's own leak would be reported.
symbolizer=$(command -v llvm-symbolizer || ls /usr/lib/llvm-*/bin/llvm-symbolizer 2>/dev/null | head -n 1 || true)
if [ -z "$symbolizer" ]; then
  echo "tools/fuzz.sh: llvm-symbolizer is missing (Debian's llvm package)" >&2
  exit 1
fi
export ASAN_SYMBOLIZER_PATH=$symbolizer
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0

# Fork mode runs one fuzzing job per core and merges what they learn.
jobs=$(nproc)

fuzz_one() {
  local t=$1
  local dirs=("$build/corpus/$t" "$seeds/$t")
  for d in "tests/fuzz/corpus/$t" "tests/fuzz/regressions/$t"; do
    [ -d "$d" ] && dirs+=("$d")
  done
  mkdir -p "$build/corpus/$t" "$build/crashes" "$build/logs"
  local log=$build/logs/$t.log
  # The Ogg Vorbis target records whole allocation stacks (slower) so that the
  # suppression of libvorbisfile's own leak can name the call it happens in.
  # That leak would also make libFuzzer look for leaks after each such input,
  # a full scan that cuts the executions to a quarter: leaks are looked for
  # when each fuzzing job ends instead (still a finding, without its input).
  local unwind=1 leaks=()
  [ "$t" = vorbis ] && unwind=0 && leaks=(-detect_leaks=0)
  local run=(env "ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=$unwind" "$build/tests/fuzz/fuzz_$t")
  # Fork mode sets aside a seed that crashes and goes on, so every kept file
  # and seed is first read once on its own: a finding there stops the script.
  local kept=()
  mapfile -t kept < <(find "${dirs[@]:1}" -type f | sort)
  if [ ${#kept[@]} -gt 0 ] && ! "${run[@]}" "${kept[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t: FAILED on a kept file or seed: $(grep -o 'Running: .*' "$log" | tail -n 1)" >&2
    return 1
  fi
  local before
  before=$(find "$build/crashes" -name "$t-*" | wc -l)
  local status=0
  "${run[@]}" -fork="$jobs" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 "${leaks[@]}" \
    -artifact_prefix="$build/crashes/$t-" "${extra[@]}" "${dirs[@]}" >"$log" 2>&1 || status=$?
  local after
  after=$(find "$build/crashes" -name "$t-*" | wc -l)
  if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    tail -n 60 "$log"
    echo "fuzz_$t: FAILED (input kept in $build/crashes/)" >&2
    return 1
  fi
  # The fork's last report line: "#RUNS: cov: ... time: SECONDSs ...".
  local last runs took
  last=$(grep -E '^#[0-9]+:' "$log" | tail -n 1)
  runs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$last")
  took=$(sed -E 's/.* time: ([0-9]+)s.*/\1/' <<<"$last")
  echo "fuzz_$t: ${runs:-0} runs in ${took:-?} s on $jobs cores, no finding"
  local goal
  goal=$(printf '%s\n' "${extra[@]}" | sed -nE 's/^-runs=([0-9]+)$/\1/p' | tail -n 1)
  if [ -n "$goal" ] && [ "${runs:-0}" -lt "$goal" ]; then
    echo "fuzz_$t: only ${runs:-0} of the $goal runs asked for: $seconds s ran out first" >&2
  fi
}

extra=("$@")
case "$target" in
  all) for t in png wave vorbis; do fuzz_one "$t"; done ;;
  png | wave | vorbis) fuzz_one "$target" ;;
  *) echo "tools/fuzz.sh: unknown target $target" >&2; exit 2 ;;
esac
