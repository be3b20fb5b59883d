#!/usr/bin/env bash
# Builds the libraries the web page links (zlib, libpng, libogg, libvorbis and
# FreeType) to WebAssembly from Debian 12's own source packages, into
# build-web/sysroot. Done once: a finished sysroot is kept until it is deleted.
# The sources come through tools/sources.sh (a private apt state under
# build-web/apt; a package is in place only once completely unpacked).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD/build-web"
sysroot="$root/sysroot"
# The stamp's number goes up when the way the libraries are built changes.
stamp="$sysroot/.done-2"
if [ -f "$stamp" ]; then exit 0; fi
rm -rf "$sysroot" "$root/libs"
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
command -v emcmake >/dev/null || { echo "web_sysroot: emcmake is missing (apt-get install emscripten)" >&2; exit 1; }

# The main bookworm suite's versions; the security suite's sources are not used.
declare -A versions=(
  [zlib]="1:1.2.13.dfsg-1"
  [libpng1.6]="1.6.39-2+deb12u5"
  [libogg]="1.3.5-3"
  [libvorbis]="1.3.7-1"
  [freetype]="2.12.1+dfsg-5+deb12u4"
)

. tools/sources.sh
sources_init "$root"
fetch() { fetch_source "$1" "${versions[$1]}"; }

build() {  # source folder, build name, extra cmake options...
  local src=$1 name=$2
  shift 2
  emcmake cmake -S "$src" -B "$root/libs/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$sysroot" -DCMAKE_FIND_ROOT_PATH="$sysroot" -DCMAKE_PREFIX_PATH="$sysroot" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$root/libs/$name.log" 2>&1 ||
    { echo "web_sysroot: configuring $name failed, see $root/libs/$name.log" >&2; exit 1; }
  cmake --build "$root/libs/$name" -j2 --target install >>"$root/libs/$name.log" 2>&1 ||
    { echo "web_sysroot: building $name failed, see $root/libs/$name.log" >&2; exit 1; }
}

mkdir -p "$root/libs" "$sysroot/include"
# zlib's CMake script lists Windows files that Debian's source leaves out: its
# files are compiled directly.
zsrc=$(fetch zlib)
[ -f "$zsrc/zconf.h" ] || cp "$zsrc/zconf.h.in" "$zsrc/zconf.h"
compile_archive web_sysroot emcc emar "$sysroot/lib/libz.a" "-DHAVE_UNISTD_H" $(for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite \
  infback inffast inflate inftrees trees uncompr zutil; do echo "$zsrc/$c.c"; done)
cp "$zsrc/zlib.h" "$zsrc/zconf.h" "$sysroot/include/"

# libvorbis turns its float samples into 16-bit ones with the CPU's rounding
# (to nearest, ties to even) on x86-64, but by floor(f + 0.5) on a target it
# does not know. Giving WebAssembly the x86-64 rounding makes the page decode
# the track to exactly the desktop program's samples.
cat > "$root/libs/vorbis_round.h" <<'EOF'
#include <math.h>
#define VORBIS_FPU_CONTROL
typedef int vorbis_fpu_control;
static inline int vorbis_ftoi(double f) { return (int)rint(f); }
static inline void vorbis_fpu_setround(vorbis_fpu_control* fpu) { (void)fpu; }
static inline void vorbis_fpu_restore(vorbis_fpu_control fpu) { (void)fpu; }
EOF
build_ogg_vorbis web_sysroot emcc emar "$sysroot" "-include $root/libs/vorbis_round.h"

psrc=$(fetch libpng1.6)
build "$psrc" libpng -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_INCLUDE_DIR="$sysroot/include" -DZLIB_LIBRARY="$sysroot/lib/libz.a"
# FreeType reads gzip-packed fonts through the zlib above, not a copy of its own.
fsrc=$(fetch freetype)
build "$fsrc" freetype -DFT_REQUIRE_ZLIB=ON -DZLIB_INCLUDE_DIR="$sysroot/include" \
  -DZLIB_LIBRARY="$sysroot/lib/libz.a" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
for pkg in "${!versions[@]}"; do echo "$pkg $(ls "$root/src/$pkg"/*.dsc | sed 's/.*_//; s/\.dsc$//')"; done \
  > "$sysroot/versions.txt"
touch "$stamp"
echo "web_sysroot: libraries ready in $sysroot"
