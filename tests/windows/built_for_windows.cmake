# Built for Windows, run under Wine by the test tree (tests/windows): the unit
# tests of unit_tests.cmake on GoogleTest built from Debian's googletest
# sources, and paint_frames.exe, which paints the show at driven clocks for the
# comparison with the native frames.
set(ZYNTRAX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZYNTRAX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(${CMAKE_SOURCE_DIR}/tests/windows/unit_tests.cmake)

set(_tests ${CMAKE_SOURCE_DIR}/tests)
add_library(zyntrax_test_support STATIC ${_tests}/support/gl_display.cpp ${_tests}/support/scene_check.cpp
  ${_tests}/support/scene_checks.cpp ${_tests}/support/solid_sprite.cpp ${_tests}/support/audio_files.cpp)
target_include_directories(zyntrax_test_support PUBLIC ${_tests})
target_link_libraries(zyntrax_test_support PUBLIC zyntrax_driver zyntrax_windows_render_libs gtest)
# Wine reaches the build machine's files through its drive Z:.
target_compile_definitions(zyntrax_test_support PUBLIC
  ZYNTRAX_ASSET_DIR="Z:${CMAKE_SOURCE_DIR}/assets"
  ZYNTRAX_TEST_SCRATCH="Z:${CMAKE_BINARY_DIR}/test-scratch")

foreach(_name IN LISTS ZYNTRAX_WINDOWS_UNIT_TESTS)
  add_executable(${_name} ${_tests}/${_name}.cpp)
  target_link_libraries(${_name} PRIVATE zyntrax_test_support gtest_main)
  set_target_properties(${_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endforeach()

add_executable(paint_frames ${_tests}/windows/paint_frames.cpp ${_tests}/web/native_show.cpp)
target_link_libraries(paint_frames PRIVATE zyntrax_test_support)
set_target_properties(paint_frames PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

add_executable(win_inspect ${_tests}/windows/win_inspect.cpp)
target_link_libraries(win_inspect PRIVATE comctl32 user32)
set_target_properties(win_inspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

foreach(_check present_check activation_check)
  add_executable(${_check} ${_tests}/windows/${_check}.cpp)
  target_link_libraries(${_check} PRIVATE zyntrax_driver)
  set_target_properties(${_check} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endforeach()

# The loader test's kept files stored with xz, unpacked here (no xz under Wine).
file(GLOB _packed CONFIGURE_DEPENDS ${_tests}/fuzz/regressions/*/*.xz)
set(_unpacked "")
foreach(_xz IN LISTS _packed)
  get_filename_component(_name ${_xz} NAME)
  string(REGEX REPLACE "\\.xz$" "" _name ${_name})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/unpacked/${_name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/unpacked
    COMMAND sh -c "xz -dc \"$1\" > \"$2\"" sh ${_xz} ${CMAKE_BINARY_DIR}/unpacked/${_name}
    DEPENDS ${_xz} VERBATIM)
  list(APPEND _unpacked ${CMAKE_BINARY_DIR}/unpacked/${_name})
endforeach()
add_custom_target(unpacked_kept_files DEPENDS ${_unpacked})
add_dependencies(test_loader_inputs unpacked_kept_files)
target_compile_definitions(test_loader_inputs PRIVATE ZYNTRAX_UNPACKED_DIR="Z:${CMAKE_BINARY_DIR}/unpacked")
