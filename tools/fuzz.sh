#!/usr/bin/env bash
# Fuzzes the file loaders with libFuzzer: builds the clang fuzz build in
# build-fuzz, makes seed files from the carried pictures and with sox, and runs
# one target (png, wave, vorbis, or all of them in turn) for SECONDS each. What
# the fuzzer learns stays in build-fuzz/corpus/TARGET; a crash fails the script
# and leaves its input in build-fuzz/crashes/ (keep it in tests/fuzz/regressions/).
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
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
cmake --build "$build" --target fuzz_png fuzz_wave fuzz_vorbis >/dev/null

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
  local unwind=1
  [ "$t" = vorbis ] && unwind=0
  if ! ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=$unwind "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" "${extra[@]}" "${dirs[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t: FAILED (input kept in $build/crashes/)" >&2
    return 1
  fi
  echo "fuzz_$t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s, no finding"
}

extra=("$@")
case "$target" in
  all) for t in png wave vorbis; do fuzz_one "$t"; done ;;
  png | wave | vorbis) fuzz_one "$target" ;;
  *) echo "tools/fuzz.sh: unknown target $target" >&2; exit 2 ;;
esac
