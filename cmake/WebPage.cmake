# The web page, built twice from the same sources: the shipped page in
# ZYNTRAX_WEB_OUT (build-web/page) and the page the browser tests load, with
# the test functions and page_test.js, in ZYNTRAX_WEB_TEST_OUT. Each holds
# index.html, zyntrax.js, zyntrax.wasm (the carried files inside, as in the
# desktop program) and the show's badge as icons. The libraries come from
# ZYNTRAX_WEB_SYSROOT (tools/web_sysroot.sh), the icons from ZYNTRAX_WEB_ICONS
# (painted by tools/web.sh); the system font is DejaVu Sans Bold, carried in
# the page's file system.
set(ZYNTRAX_WEB_SYSROOT "${CMAKE_SOURCE_DIR}/build-web/sysroot" CACHE PATH "Libraries built for the web page")
set(ZYNTRAX_WEB_ICONS "${CMAKE_SOURCE_DIR}/build-web/icons" CACHE PATH "The page's icons (zyntrax-SIZE.png)")
set(ZYNTRAX_WEB_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf" CACHE FILEPATH "The system font")
set(ZYNTRAX_WEB_OUT "${CMAKE_BINARY_DIR}/page" CACHE PATH "Where the page goes")
set(ZYNTRAX_WEB_TEST_OUT "${ZYNTRAX_WEB_OUT}-test" CACHE PATH "Where the page for the browser tests goes")
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
set(_web_icons)
foreach(_size 32 64 180)
  if(NOT EXISTS "${ZYNTRAX_WEB_ICONS}/zyntrax-${_size}.png")
    message(FATAL_ERROR "zyntrax-${_size}.png is not in ${ZYNTRAX_WEB_ICONS}: build the page with tools/web.sh")
  endif()
  list(APPEND _web_icons "${ZYNTRAX_WEB_ICONS}/zyntrax-${_size}.png")
endforeach()

include(cmake/AssetPack.cmake)
file(GLOB _web_sources CONFIGURE_DEPENDS
  platform/*.cpp platform/web/*.cpp render/*.cpp audio/*.cpp effects/*.cpp driver/*.cpp)
list(REMOVE_ITEM _web_sources ${CMAKE_SOURCE_DIR}/driver/main.cpp ${CMAKE_SOURCE_DIR}/driver/main_web.cpp)
add_library(zyntrax_web_objects OBJECT ${_web_sources} ${ZYNTRAX_ASSET_ASM})
target_include_directories(zyntrax_web_objects PUBLIC ${CMAKE_SOURCE_DIR} ${ZYNTRAX_WEB_SYSROOT}/include
  ${ZYNTRAX_WEB_SYSROOT}/include/freetype2)
target_compile_options(zyntrax_web_objects PUBLIC ${_web_opt})

set(_web_html "${CMAKE_SOURCE_DIR}/platform/web/index.html")
list(JOIN _web_icons "|" _web_icon_arg)
set(_web_test_js "${CMAKE_SOURCE_DIR}/platform/web/page_test.js")
foreach(_page zyntrax zyntrax_test)
  if(_page STREQUAL "zyntrax")
    set(_out "${ZYNTRAX_WEB_OUT}")
    set(_test "")
  else()
    set(_out "${ZYNTRAX_WEB_TEST_OUT}")
    set(_test "${_web_test_js}")
  endif()
  add_executable(${_page} ${CMAKE_SOURCE_DIR}/driver/main_web.cpp $<TARGET_OBJECTS:zyntrax_web_objects>)
  target_link_libraries(${_page} PRIVATE zyntrax_web_objects
    ${ZYNTRAX_WEB_SYSROOT}/lib/libvorbis.a ${ZYNTRAX_WEB_SYSROOT}/lib/libogg.a
    ${ZYNTRAX_WEB_SYSROOT}/lib/libpng16.a ${ZYNTRAX_WEB_SYSROOT}/lib/libfreetype.a ${ZYNTRAX_WEB_SYSROOT}/lib/libz.a)
  target_link_options(${_page} PRIVATE ${_web_opt} -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=134217728 -sEXPORTED_FUNCTIONS=_main,_malloc,_free -sEXPORTED_RUNTIME_METHODS=ccall,UTF8ToString
    "--embed-file=${ZYNTRAX_WEB_FONT}@/fonts/DejaVuSans-Bold.ttf")
  set_target_properties(${_page} PROPERTIES OUTPUT_NAME zyntrax SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${_out}"
    LINK_DEPENDS "${ZYNTRAX_WEB_FONT}")
  # index.html carries the build id (from zyntrax.wasm's bytes) in its file names.
  add_custom_command(TARGET ${_page} POST_BUILD
    COMMAND ${CMAKE_COMMAND} "-DHTML=${_web_html}" "-DOUT=${_out}" "-DTEST_SCRIPT=${_test}" "-DICONS=${_web_icon_arg}"
      -P "${CMAKE_SOURCE_DIR}/cmake/WebPageFiles.cmake"
    VERBATIM)
  set_property(TARGET ${_page} APPEND PROPERTY LINK_DEPENDS "${_web_html};${_web_test_js};${_web_icons}")
endforeach()
target_compile_definitions(zyntrax_test PRIVATE ZYNTRAX_WEB_TEST)
