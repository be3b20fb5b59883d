#!/usr/bin/env bash
# Builds the libraries zyntrax.exe links (libpng, libogg, libvorbis, FreeType
# and SDL2 for the sound only) for 64-bit Windows from Debian 12's own source
# packages, into build-windows/sysroot, with mingw-w64's posix compilers.
# zlib is Debian's libz-mingw-w64-dev. Done once: a finished sysroot is kept
# until it is deleted.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD/build-windows"
sysroot="$root/sysroot"
# The stamp's number goes up when the way the libraries are built changes.
stamp="$sysroot/.done-1"
if [ -f "$stamp" ]; then exit 0; fi
cc=x86_64-w64-mingw32-gcc-posix
command -v $cc >/dev/null || { echo "windows_sysroot: $cc is missing (apt-get install mingw-w64)" >&2; exit 1; }
zlib=/usr/x86_64-w64-mingw32/lib/libz.a
[ -f $zlib ] || { echo "windows_sysroot: $zlib is missing (apt-get install libz-mingw-w64-dev)" >&2; exit 1; }
rm -rf "$sysroot" "$root/libs"

# The main bookworm suite's versions; the security suite's sources are not used.
declare -A versions=(
  [libpng1.6]="1.6.39-2+deb12u5"
  [libogg]="1.3.5-3"
  [libvorbis]="1.3.7-1"
  [freetype]="2.12.1+dfsg-5+deb12u4"
  [libsdl2]="2.26.5+dfsg-1"
)
. tools/sources.sh
sources_init "$root"
fetch() { fetch_source "$1" "${versions[$1]}"; }

toolchain="$PWD/cmake/mingw-w64-x86_64.cmake"
build() {  # source folder, build name, extra cmake options...
  local src=$1 name=$2
  shift 2
  cmake -S "$src" -B "$root/libs/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DZYNTRAX_WINDOWS_SYSROOT="$sysroot" -DCMAKE_INSTALL_PREFIX="$sysroot" -DCMAKE_PREFIX_PATH="$sysroot" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$root/libs/$name.log" 2>&1 ||
    { echo "windows_sysroot: configuring $name failed, see $root/libs/$name.log" >&2; exit 1; }
  cmake --build "$root/libs/$name" -j2 --target install >>"$root/libs/$name.log" 2>&1 ||
    { echo "windows_sysroot: building $name failed, see $root/libs/$name.log" >&2; exit 1; }
}
mkdir -p "$root/libs" "$sysroot/lib" "$sysroot/include"

build_ogg_vorbis windows_sysroot $cc x86_64-w64-mingw32-gcc-ar-posix "$sysroot"

psrc=$(fetch libpng1.6)
build "$psrc" libpng -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=$zlib
fsrc=$(fetch freetype)
build "$fsrc" freetype -DFT_REQUIRE_ZLIB=ON -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
  -DZLIB_LIBRARY=$zlib -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
# SDL2 plays the sound and does nothing else: windows, input and the rest are
# our own Win32 code. Its video part is built all the same (never started):
# without it SDL's table of replaceable functions names functions that are not
# there, and SDL refuses to be built without that table.
ssrc=$(fetch libsdl2)
build "$ssrc" sdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
  -DSDL_AUDIO=ON -DSDL_VIDEO=ON -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF \
  -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF -DSDL_LIBC=ON
for pkg in "${!versions[@]}"; do echo "$pkg $(ls "$root/src/$pkg"/*.dsc | sed 's/.*_//; s/\.dsc$//')"; done \
  > "$sysroot/versions.txt"
touch "$stamp"
echo "windows_sysroot: libraries ready in $sysroot"
