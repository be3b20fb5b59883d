# Cross-building for 64-bit Windows with Debian's mingw-w64, posix thread model
# (std::thread over winpthreads), linked statically into one exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZYNTRAX_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZYNTRAX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYNTRAX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZYNTRAX_MINGW}-windres)
set(CMAKE_AR ${ZYNTRAX_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZYNTRAX_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${ZYNTRAX_MINGW}-strip CACHE FILEPATH "")
# Libraries built for Windows are looked for in the sysroot and mingw's own
# tree, programs on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZYNTRAX_MINGW} ${ZYNTRAX_WINDOWS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
