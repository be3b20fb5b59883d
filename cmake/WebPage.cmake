# The web page: zyntrax.js and zyntrax.wasm (the carried files inside, as in the
# desktop program) beside index.html in build-web/page. The libraries come from
# ZYNTRAX_WEB_SYSROOT (tools/web_sysroot.sh); the system font is DejaVu Sans
# Bold, carried in the page's file system.
set(ZYNTRAX_WEB_SYSROOT "${CMAKE_SOURCE_DIR}/build-web/sysroot" CACHE PATH "Libraries built for the web page")
set(ZYNTRAX_WEB_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf" CACHE FILEPATH "The system font")
set(ZYNTRAX_WEB_OUT "${CMAKE_BINARY_DIR}/page" CACHE PATH "Where the page goes")
# 128-bit SIMD: every browser of the last few years runs it (Chrome 91, Firefox 89, Safari 16.4).
# -msse2 lets the blends take their four-pixel SSE2 path, which emcc maps onto
# the same SIMD instructions (the heaviest rows about a third faster).
set(ZYNTRAX_WEB_OPT "-O3 -msimd128 -msse2" CACHE STRING "Optimisation flags for compiling and linking the page")
separate_arguments(_web_opt UNIX_COMMAND "${ZYNTRAX_WEB_OPT}")
foreach(_lib z png16 ogg vorbis freetype)
  if(NOT EXISTS "${ZYNTRAX_WEB_SYSROOT}/lib/lib${_lib}.a")
    message(FATAL_ERROR "lib${_lib}.a is not in ${ZYNTRAX_WEB_SYSROOT}/lib: run tools/web_sysroot.sh")
  endif()
endforeach()
if(NOT EXISTS "${ZYNTRAX_WEB_FONT}")
  message(FATAL_ERROR "missing ${ZYNTRAX_WEB_FONT} (apt-get install fonts-dejavu-core)")
endif()

include(cmake/AssetPack.cmake)
# The same layers as on the desktop (cmake/Layers.cmake) on the web target.
add_compile_options(${_web_opt})
add_library(zyntrax_web_render_libs INTERFACE)
target_include_directories(zyntrax_web_render_libs INTERFACE ${ZYNTRAX_WEB_SYSROOT}/include
  ${ZYNTRAX_WEB_SYSROOT}/include/freetype2)
target_link_libraries(zyntrax_web_render_libs INTERFACE ${ZYNTRAX_WEB_SYSROOT}/lib/libpng16.a
  ${ZYNTRAX_WEB_SYSROOT}/lib/libfreetype.a ${ZYNTRAX_WEB_SYSROOT}/lib/libz.a)
add_library(zyntrax_web_audio_libs INTERFACE)
target_include_directories(zyntrax_web_audio_libs INTERFACE ${ZYNTRAX_WEB_SYSROOT}/include)
target_link_libraries(zyntrax_web_audio_libs INTERFACE ${ZYNTRAX_WEB_SYSROOT}/lib/libvorbis.a
  ${ZYNTRAX_WEB_SYSROOT}/lib/libogg.a)
set(ZYNTRAX_DEFAULT_PLATFORM zyntrax_platform_web)
set(ZYNTRAX_RENDER_LIBS zyntrax_web_render_libs)
set(ZYNTRAX_AUDIO_LIBS zyntrax_web_audio_libs)
include(cmake/Layers.cmake)

# The web target: Emscripten's HTML5 and JavaScript interfaces.
file(GLOB _web CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.cpp)
add_library(zyntrax_platform_web STATIC ${ZYNTRAX_PLATFORM_SHARED} ${_web})
zyntrax_platform_sources(zyntrax_platform_web)

add_executable(zyntrax driver/main_web.cpp)
target_link_libraries(zyntrax PRIVATE zyntrax_driver)
target_link_options(zyntrax PRIVATE ${_web_opt} -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString
  "--embed-file=${ZYNTRAX_WEB_FONT}@/fonts/DejaVuSans-Bold.ttf")
set_target_properties(zyntrax PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${ZYNTRAX_WEB_OUT}"
  LINK_DEPENDS "${ZYNTRAX_WEB_FONT}")
add_custom_command(OUTPUT "${ZYNTRAX_WEB_OUT}/index.html"
  COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_SOURCE_DIR}/platform/web/index.html" "${ZYNTRAX_WEB_OUT}/index.html"
  DEPENDS "${CMAKE_SOURCE_DIR}/platform/web/index.html")
add_custom_target(zyntrax_page ALL DEPENDS "${ZYNTRAX_WEB_OUT}/index.html")
