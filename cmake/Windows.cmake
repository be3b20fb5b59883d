# zyntrax.exe for 64-bit Windows (cmake/mingw-w64-x86_64.cmake): the program on
# the Windows platform files, linked statically against the libraries
# tools/windows_sysroot.sh builds, with the icon and version resource and the
# system font carried inside; the unit tests and the frame test built for Wine.
set(ZYNTRAX_WINDOWS_SYSROOT "${CMAKE_SOURCE_DIR}/build-windows/sysroot" CACHE PATH "Libraries built for Windows")
set(ZYNTRAX_WINDOWS_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf" CACHE FILEPATH "The system font")
foreach(_lib png16 ogg vorbis freetype SDL2)
  if(NOT EXISTS "${ZYNTRAX_WINDOWS_SYSROOT}/lib/lib${_lib}.a")
    message(FATAL_ERROR "lib${_lib}.a is not in ${ZYNTRAX_WINDOWS_SYSROOT}/lib: run tools/windows_sysroot.sh")
  endif()
endforeach()
if(NOT EXISTS "${ZYNTRAX_WINDOWS_FONT}")
  message(FATAL_ERROR "missing ${ZYNTRAX_WINDOWS_FONT} (apt-get install fonts-dejavu-core)")
endif()
# Everything in one exe: no libstdc++, libgcc, winpthread or SDL2 DLL beside it.
add_link_options(-static -static-libgcc -static-libstdc++)
# SDL only plays the sound: it does not take over main().
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 SDL_MAIN_HANDLED)

include(cmake/AssetPack.cmake)
set(_font_asm "${CMAKE_BINARY_DIR}/system_font.S")
file(CONFIGURE OUTPUT "${_font_asm}" CONTENT "/* generated; do not edit */
    .section .rdata,\"dr\"
    .global zyntrax_system_font
    .global zyntrax_system_font_end
    .balign 16
zyntrax_system_font:
    .incbin \"${ZYNTRAX_WINDOWS_FONT}\"
zyntrax_system_font_end:
")
set_source_files_properties("${_font_asm}" PROPERTIES OBJECT_DEPENDS "${ZYNTRAX_WINDOWS_FONT}")

set(_sys "${ZYNTRAX_WINDOWS_SYSROOT}")
add_library(zyntrax_windows_libs INTERFACE)
target_include_directories(zyntrax_windows_libs SYSTEM INTERFACE ${_sys}/include ${_sys}/include/freetype2 ${_sys}/include/SDL2)
target_link_libraries(zyntrax_windows_libs INTERFACE
  ${_sys}/lib/libvorbis.a ${_sys}/lib/libogg.a ${_sys}/lib/libpng16.a ${_sys}/lib/libfreetype.a
  ${_sys}/lib/libSDL2.a /usr/x86_64-w64-mingw32/lib/libz.a
  opengl32 gdi32 comctl32 dinput8 dxguid winmm ole32 oleaut32 imm32 version setupapi uuid shell32 user32)

file(GLOB ZYNTRAX_CORE_SOURCES CONFIGURE_DEPENDS
  platform/windows/*.cpp render/*.cpp audio/*.cpp effects/*.cpp driver/*.cpp)
list(REMOVE_ITEM ZYNTRAX_CORE_SOURCES ${CMAKE_SOURCE_DIR}/driver/main.cpp ${CMAKE_SOURCE_DIR}/driver/main_web.cpp)
list(APPEND ZYNTRAX_CORE_SOURCES platform/clock.cpp platform/random.cpp platform/desktop/sound_output.cpp)
add_library(zyntrax_core STATIC ${ZYNTRAX_CORE_SOURCES} ${ZYNTRAX_ASSET_ASM} ${_font_asm})
target_include_directories(zyntrax_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zyntrax_core PUBLIC zyntrax_windows_libs)

# The icon (the show's badge) and the version information.
configure_file(packaging/windows/zyntrax.rc.in ${CMAKE_BINARY_DIR}/zyntrax.rc @ONLY)
add_executable(zyntrax WIN32 driver/main.cpp ${CMAKE_BINARY_DIR}/zyntrax.rc)
target_link_libraries(zyntrax PRIVATE zyntrax_core)
set_source_files_properties(${CMAKE_BINARY_DIR}/zyntrax.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/zyntrax.ico)

# The benchmark, to run under Wine beside the native one (tools/windows_bench.sh).
file(GLOB _bench CONFIGURE_DEPENDS tools/bench/*.cpp)
add_executable(make_bench ${_bench} tools/common/tool_show.cpp)
target_link_libraries(make_bench PRIVATE zyntrax_core)

if(ZYNTRAX_TESTS)
  enable_testing()
  include(tests/windows/built_for_windows.cmake)
endif()

# The release as a party expects it: the stripped exe, its release note and
# its file_id.diz in zyntrax-<version>-windows-x64.zip.
set(_release "${CMAKE_BINARY_DIR}/release")
set(_zip "${CMAKE_BINARY_DIR}/zyntrax-${PROJECT_VERSION}-windows-x64.zip")
configure_file(packaging/windows/zyntrax.nfo.in ${_release}/zyntrax.nfo @ONLY NEWLINE_STYLE CRLF)
configure_file(packaging/windows/file_id.diz ${_release}/file_id.diz COPYONLY)
add_custom_command(OUTPUT ${_zip}
  COMMAND ${CMAKE_STRIP} -o ${_release}/zyntrax.exe $<TARGET_FILE:zyntrax>
  COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${_release} ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip
    zyntrax.exe zyntrax.nfo file_id.diz
  DEPENDS zyntrax ${_release}/zyntrax.nfo ${_release}/file_id.diz
  COMMENT "zyntrax-${PROJECT_VERSION}-windows-x64.zip")
add_custom_target(release_zip ALL DEPENDS ${_zip})
