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

# The same layers as on the desktop (cmake/Layers.cmake) on the Windows target.
set(_sys "${ZYNTRAX_WINDOWS_SYSROOT}")
add_library(zyntrax_windows_render_libs INTERFACE)
target_include_directories(zyntrax_windows_render_libs SYSTEM INTERFACE ${_sys}/include ${_sys}/include/freetype2)
target_link_libraries(zyntrax_windows_render_libs INTERFACE ${_sys}/lib/libpng16.a ${_sys}/lib/libfreetype.a
  /usr/x86_64-w64-mingw32/lib/libz.a)
add_library(zyntrax_windows_audio_libs INTERFACE)
target_include_directories(zyntrax_windows_audio_libs SYSTEM INTERFACE ${_sys}/include)
target_link_libraries(zyntrax_windows_audio_libs INTERFACE ${_sys}/lib/libvorbis.a ${_sys}/lib/libogg.a)
set(ZYNTRAX_DEFAULT_PLATFORM zyntrax_platform_windows)
set(ZYNTRAX_RENDER_LIBS zyntrax_windows_render_libs)
set(ZYNTRAX_AUDIO_LIBS zyntrax_windows_audio_libs)
include(cmake/Layers.cmake)

# The Windows target: Win32, GDI, WGL, DirectInput and the common controls
# called directly; SDL2 for the sound only (the desktop's sound output); its
# own files (the wide calls) in place of the POSIX ones. The shipped exe takes
# the platform without the test hooks.
file(GLOB _windows CONFIGURE_DEPENDS platform/windows/*.cpp)
set(_windows_shared ${ZYNTRAX_PLATFORM_SHARED})
list(REMOVE_ITEM _windows_shared ${CMAKE_SOURCE_DIR}/platform/files.cpp)
set(_windows_libs ${_sys}/lib/libSDL2.a opengl32 gdi32 comctl32 dinput8 dxguid winmm ole32 oleaut32 imm32
  version setupapi uuid shell32 user32)
foreach(_variant zyntrax_platform_windows zyntrax_platform_windows_shipped)
  set(_sources ${_windows_shared} ${_windows} platform/desktop/sound_output.cpp ${_font_asm})
  if(_variant STREQUAL "zyntrax_platform_windows_shipped")
    list(REMOVE_ITEM _sources ${CMAKE_SOURCE_DIR}/platform/test_hooks.cpp)
  endif()
  add_library(${_variant} STATIC ${_sources})
  target_include_directories(${_variant} SYSTEM PRIVATE ${_sys}/include/SDL2)
  target_link_libraries(${_variant} PRIVATE ${_windows_libs})
endforeach()
zyntrax_platform_sources(zyntrax_platform_windows)
target_include_directories(zyntrax_platform_windows_shipped PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zyntrax_platform_windows_shipped PUBLIC Threads::Threads)

# The icon (the show's badge) and the version information.
configure_file(packaging/windows/zyntrax.rc.in ${CMAKE_BINARY_DIR}/zyntrax.rc @ONLY)
add_executable(zyntrax WIN32 driver/main.cpp ${CMAKE_BINARY_DIR}/zyntrax.rc)
target_link_libraries(zyntrax PRIVATE zyntrax_driver)
set_target_properties(zyntrax PROPERTIES ZYNTRAX_PLATFORM zyntrax_platform_windows_shipped)
set_source_files_properties(${CMAKE_BINARY_DIR}/zyntrax.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/zyntrax.ico)

# The benchmark, to run under Wine beside the native one (tools/windows_bench.sh).
file(GLOB _bench CONFIGURE_DEPENDS tools/bench/*.cpp)
add_executable(make_bench ${_bench} tools/common/tool_show.cpp)
target_link_libraries(make_bench PRIVATE zyntrax_driver zyntrax_windows_render_libs ${_windows_libs})
target_include_directories(make_bench SYSTEM PRIVATE ${_sys}/include/SDL2)

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
