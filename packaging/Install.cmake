# The version header for the programs, and installation as a desktop program:
# the executables, the menu entry, the icons, the AppStream metadata, the manual
# pages and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

set(ZYNTRAX_APP_ID org.zorlaworx.Zyntrax)
set(ZYNTRAX_ICON_SIZES 16 32 48 64 128 256)
# AppStream wants a web address for the screenshot: where the contact sheet is published.
set(ZYNTRAX_SCREENSHOT_URL "https://zorlaworx.org/zyntrax/contact_sheet.png"
    CACHE STRING "Web address of the contact sheet named in the AppStream metadata")
set(_src ${CMAKE_CURRENT_LIST_DIR})
set(_out ${CMAKE_BINARY_DIR}/packaging)

# ---- zyntrax_version.h (ZYNTRAX_VERSION, the version as a string) for the
# programs that link the zyntrax_version target ----
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/zyntrax_version.h CONTENT
  "// The project's version, written by CMake.\n#pragma once\n#define ZYNTRAX_VERSION \"@PROJECT_VERSION@\"\n" @ONLY)
add_library(zyntrax_version INTERFACE)
target_include_directories(zyntrax_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# ---- icons, painted by the picture generator at every size ----
set(_icons)
foreach(_size IN LISTS ZYNTRAX_ICON_SIZES)
  list(APPEND _icons ${_out}/icons/zyntrax-${_size}.png)
endforeach()
add_custom_command(OUTPUT ${_icons}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}/icons
  COMMAND make_pictures --icons ${_out}/icons ${ZYNTRAX_ICON_SIZES}
  DEPENDS make_pictures VERBATIM COMMENT "Painting the desktop icons")

# ---- metadata and manual pages (compressed, as Debian keeps them) ----
set(ZYNTRAX_PROVIDES "    <binary>zyntrax</binary>\n")
set(_pages zyntrax.6)
if(TARGET zyntrax-capture)
  string(APPEND ZYNTRAX_PROVIDES "    <binary>zyntrax-capture</binary>\n")
  list(APPEND _pages zyntrax-capture.1)
endif()
configure_file(${_src}/${ZYNTRAX_APP_ID}.metainfo.xml.in ${_out}/${ZYNTRAX_APP_ID}.metainfo.xml @ONLY)
set(_gz)
foreach(_page IN LISTS _pages)
  configure_file(${_src}/${_page}.in ${_out}/${_page} @ONLY)
  add_custom_command(OUTPUT ${_out}/${_page}.gz
    COMMAND gzip -9nkf ${_out}/${_page}
    DEPENDS ${_out}/${_page} VERBATIM)
  list(APPEND _gz ${_out}/${_page}.gz)
endforeach()
add_custom_target(zyntrax_desktop_files ALL DEPENDS ${_icons} ${_gz})

# ---- install rules ----
install(TARGETS zyntrax RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_out}/zyntrax.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
if(TARGET zyntrax-capture)
  install(TARGETS zyntrax-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${_out}/zyntrax-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${_src}/${ZYNTRAX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_out}/${ZYNTRAX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(_size IN LISTS ZYNTRAX_ICON_SIZES)
  install(FILES ${_out}/icons/zyntrax-${_size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME zyntrax.png)
endforeach()

# ---- the Debian package; its library dependencies come from dpkg-shlibdeps ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zyntrax)
set(CPACK_PACKAGE_VENDOR ZORLA-WORX)
set(CPACK_PACKAGE_CONTACT "ZORLA-WORX <zyntrax@zorlaworx.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "old-school demo of real-time 2D effects over one music track")
set(CPACK_PACKAGE_DESCRIPTION "ZYNTRAX by ZORLA-WORX, released at Velda Party 5. A launcher asks for\n\
the display mode, the music volume and mute; then a 1920 x 1080 show of\n\
twenty real-time 2D scenes plays over one music track: starfield, plasmas,\n\
rotozoom, twisters, copper bars, a black hole, sprite rain and a steaming\n\
cow. The pictures and the music are carried inside the program.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
