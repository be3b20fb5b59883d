#!/usr/bin/env bash
# zyntrax.exe's benchmark beside the native one, in one run under one Xvfb
# screen (1920 x 1080, Mesa's software GL): make_bench.exe under Wine and the
# Release make_bench, every timeline row (median and p95 per frame, and what
# presenting costs), each Wine row as a share of the native one, and the
# processor time per frame of each row (the program's threads, and under Wine
# its wineserver too), read from /proc as the row ends: on a shared machine
# that is the figure to compare (the exe's own processor clocks have 10 ms
# steps under Wine). Then the Launch click to the first show frame of
# zyntrax.exe, and the sizes of the exe and the release zip.
#   tools/windows_bench.sh [FRAMES_PER_ROW]   (default 120)
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-120}"
bash tools/windows.sh >/dev/null
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZYNTRAX_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-bench --target make_bench >/dev/null
prefix="$PWD/build-windows/wine-bench"
[ -f "$prefix/system.reg" ] || bash tests/windows/wine_prefix.sh "$prefix"
out=$(mktemp -d)
trap 'rm -rf "$out"; WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true' EXIT

export LIBGL_ALWAYS_SOFTWARE=1 WINEPREFIX="$prefix" WINEDEBUG=-all

# timed OUT SERVER_PID PROGRAM ARGS...: runs the benchmark into OUT, adding
# after each row's line "cpu ROW MS": the processor time per frame its threads
# and the given server process took (0: none) since the line before.
timed() {
  local out=$1 server=$2 fifo pid line prev="" now
  shift 2
  fifo=$(mktemp -u) && mkfifo "$fifo"
  "$@" </dev/null >"$fifo" &
  pid=$!
  while IFS= read -r line; do
    line=${line%$'\r'}
    echo "$line" >>"$out"
    case "$line" in presenter* | row*) ;; *) continue ;; esac
    now=$(cat /proc/$pid/task/*/schedstat /proc/$server/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%.0f", t }')
    # (A thread that ended takes its time away from the sum: no figure then.)
    [ -n "$prev" ] && [ -d /proc/$pid ] && [ "$now" -ge "$prev" ] &&
      echo "cpu ${line:4:2} $(awk -v d=$((now - prev)) -v f="$frames" 'BEGIN { printf "%.2f", d / 1e6 / f }')" >>"$out"
    prev=$now
  done <"$fifo"
  wait $pid
  rm -f "$fifo"
}
declare -f timed >"$out/timed.sh"  # for the shell under xvfb-run
export frames
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX +render -noreset" bash -c '
  set -e
  . '"$out"'/timed.sh
  timed '"$out"'/native.txt 0 build-bench/tools/make_bench --frames '"$frames"'
  # This prefix'"'"'s server (its folder is named after the prefix'"'"'s device
  # and inode), kept up to be timed with the exe.
  wineserver -p 30
  id=$(printf "server-%x-%x" $(stat -c "%d %i" "$WINEPREFIX")) server=0
  for p in $(pgrep -x wineserver64; pgrep -x wineserver); do
    case "$(readlink /proc/$p/cwd)" in */$id) server=$p ;; esac
  done
  timed '"$out"'/wine.txt "$server" wine build-windows/exe/make_bench.exe --frames '"$frames"'
  # Launch click to the first show frame: the launcher up, a click on Launch,
  # then the screen polled until the show window is there with a lit pixel.
  rm -rf "$(winepath -u "C:\\users\\$USER\\Temp\\ZORLA_VELDA5_2D" 2>/dev/null)" 2>/dev/null || true
  wine build-windows/exe/zyntrax.exe & show=$!
  until xdotool search --name "^Velda Party 5 - Setup$" >/dev/null 2>&1; do sleep 0.1; done
  sleep 2
  geometry=$(wine build-windows/exe/tests/win_inspect.exe controls "Velda Party 5 - Setup" | tr -d "\r" | grep "^Button|Launch|")
  read -r bx by bw bh <<<"$(echo "$geometry" | cut -d"|" -f3)"
  wx=$(xdotool search --name "^Velda Party 5 - Setup$" getwindowgeometry | sed -n "s/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p")
  read -r ox oy <<<"$wx"
  start=$(date +%s%N)
  xdotool mousemove --sync $((ox + bx + bw / 2)) $((oy + by + bh / 2)) click 1
  until xdotool search --name "^Velda Party 5$" >/dev/null 2>&1 &&
        [ "$(import -window root -crop 1x1+960+100 -depth 8 txt:- 2>/dev/null | tail -1 | grep -c "#000000")" = 0 ]; do
    sleep 0.02
  done
  echo "launch click to first show frame: $(( ($(date +%s%N) - start) / 1000000 )) ms" > '"$out"'/launch.txt
  sleep 1
  xdotool key Escape
  for _ in $(seq 100); do kill -0 $show 2>/dev/null || break; sleep 0.1; done
  kill $show 2>/dev/null || true
  wait $show || true
'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== per row: median / p95 / present (ms), native then Wine; Wine median as a share of native;"
echo "   then processor ms per frame, native and Wine (with its wineserver), and that share"
grep '^presenter' "$out/native.txt" | sed 's/^/native /'
grep '^presenter' "$out/wine.txt" | sed 's/^/wine   /'
rows() {  # row median p95 present cpu ("-" when not read), one line per row
  join -a1 -e - -o auto -j1 <(sed -n 's/^row *\([0-9]*\) .*median *\([0-9.]*\) ms *p95 *\([0-9.]*\) ms.*present *\([0-9.]*\) ms.*/\1 \2 \3 \4/p' "$1" | sort -k1,1) \
    <(awk '/^cpu/ { print $2 + 0, $3 }' "$1" | sort -k1,1)
}
join -j1 <(rows "$out/native.txt") <(rows "$out/wine.txt") | sort -n |
  awk '{ printf "row %2d  native %6.2f %6.2f %5.2f   wine %6.2f %6.2f %5.2f   x%.2f   cpu %5s %5s x%s\n",
         $1, $2, $3, $4, $6, $7, $8, $6 / $2, $5, $9, ($5 > 0 && $9 > 0 ? sprintf("%.2f", $9 / $5) : "-") }'
cat "$out/launch.txt"
echo "== sizes"
stat -c '%n %s bytes' build-windows/exe/zyntrax.exe build-windows/exe/release/zyntrax.exe build-windows/exe/zyntrax-*-windows-x64.zip
