# The layers, one library each, each linking only the layers below it:
#   zyntrax_platform          the platform's header set (an interface library)
#   zyntrax_platform_<target> one per target: platform/*.cpp and the target's folder
#   zyntrax_render            -> platform            (render/)
#   zyntrax_audio             -> platform            (audio/)
#   zyntrax_show_state        -> platform            (driver/globals.cpp: the state the
#                                                     driver writes and the effects read)
#   zyntrax_effects           -> render, show_state  (effects/)
#   zyntrax_driver            -> effects, audio      (driver/ but the entry points)
# A program links zyntrax_driver and names its platform target in its
# ZYNTRAX_PLATFORM property (ZYNTRAX_DEFAULT_PLATFORM otherwise); the platform
# interface hands that target to every layer that uses it, so the link order
# keeps it below them.
#
# Expects: ZYNTRAX_DEFAULT_PLATFORM, ZYNTRAX_RENDER_LIBS (libpng, FreeType),
# ZYNTRAX_AUDIO_LIBS (libvorbisfile) and ZYNTRAX_ASSET_ASM (cmake/AssetPack.cmake).
option(ZYNTRAX_TEST_HOOKS "Compile the test hooks (platform/test_hooks.h) into the platform" ${ZYNTRAX_TESTS})
# The page is built without threads (its painting stays on one).
set(ZYNTRAX_THREADS "")
if(NOT EMSCRIPTEN)
  find_package(Threads REQUIRED)
  set(ZYNTRAX_THREADS Threads::Threads)
endif()

add_library(zyntrax_platform INTERFACE)
target_include_directories(zyntrax_platform INTERFACE ${CMAKE_SOURCE_DIR})
target_link_libraries(zyntrax_platform INTERFACE ${ZYNTRAX_THREADS}
  "$<IF:$<BOOL:$<TARGET_PROPERTY:ZYNTRAX_PLATFORM>>,$<TARGET_PROPERTY:ZYNTRAX_PLATFORM>,${ZYNTRAX_DEFAULT_PLATFORM}>")

# What every target compiles: the shared platform files (and the test hooks).
file(GLOB ZYNTRAX_PLATFORM_SHARED CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.cpp)
list(REMOVE_ITEM ZYNTRAX_PLATFORM_SHARED ${CMAKE_SOURCE_DIR}/platform/test_hooks.cpp)
if(ZYNTRAX_TEST_HOOKS)
  list(APPEND ZYNTRAX_PLATFORM_SHARED ${CMAKE_SOURCE_DIR}/platform/test_hooks.cpp)
endif()
# A platform target's sources compile against the header set only.
function(zyntrax_platform_sources target)
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ZYNTRAX_THREADS})
  if(ZYNTRAX_TEST_HOOKS)
    target_compile_definitions(${target} PRIVATE ZYNTRAX_TEST_HOOKS)
  endif()
endfunction()

file(GLOB _render CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/render/*.cpp)
add_library(zyntrax_render STATIC ${_render})
target_link_libraries(zyntrax_render PUBLIC zyntrax_platform PRIVATE ${ZYNTRAX_RENDER_LIBS})

file(GLOB _audio CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/audio/*.cpp)
add_library(zyntrax_audio STATIC ${_audio})
target_link_libraries(zyntrax_audio PUBLIC zyntrax_platform PRIVATE ${ZYNTRAX_AUDIO_LIBS})

add_library(zyntrax_show_state STATIC ${CMAKE_SOURCE_DIR}/driver/globals.cpp)
target_link_libraries(zyntrax_show_state PUBLIC zyntrax_platform)

file(GLOB _effects CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/effects/*.cpp)
add_library(zyntrax_effects STATIC ${_effects})
target_link_libraries(zyntrax_effects PUBLIC zyntrax_render zyntrax_show_state)

file(GLOB _driver CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/driver/*.cpp)
list(REMOVE_ITEM _driver ${CMAKE_SOURCE_DIR}/driver/main.cpp ${CMAKE_SOURCE_DIR}/driver/main_web.cpp
     ${CMAKE_SOURCE_DIR}/driver/globals.cpp)
add_library(zyntrax_driver STATIC ${_driver} ${ZYNTRAX_ASSET_ASM})
target_link_libraries(zyntrax_driver PUBLIC zyntrax_effects zyntrax_audio)
