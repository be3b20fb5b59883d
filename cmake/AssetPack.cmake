# Writes an assembly file that carries every asset byte for byte (.incbin), with
# a start and an end symbol per file. Changing a file in assets/ rebuilds it.
# WebAssembly objects keep each file in a data section of its own whose symbols
# carry their sizes, so that target gets its own layout of the same file.
set(_asm "${CMAKE_BINARY_DIR}/asset_pack.S")
if(EMSCRIPTEN)
  set(_text "/* generated from assets/; do not edit */\n")
else()
  set(_text "/* generated from assets/; do not edit */\n    .section .rodata\n")
endif()
set(_deps "")
set(_index 0)
foreach(_name IN LISTS ZYNTRAX_ASSETS)
  set(_file "${CMAKE_SOURCE_DIR}/assets/${_name}")
  if(NOT EXISTS "${_file}")
    message(FATAL_ERROR "missing asset: assets/${_name} (run the generators in tools/)")
  endif()
  set(_sym "zyntrax_asset_${_index}")
  if(EMSCRIPTEN)
    file(SIZE "${_file}" _size)
    string(APPEND _text
      "    .section .rodata.${_sym},\"\",@\n    .globl ${_sym}\n    .globl ${_sym}_end\n    .p2align 4\n"
      "${_sym}:\n    .incbin \"${_file}\"\n${_sym}_end:\n    .size ${_sym}, ${_size}\n    .size ${_sym}_end, 0\n")
    # The sizes are written in: a changed file configures again.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_file}")
  else()
    string(APPEND _text
      "    .global ${_sym}\n    .global ${_sym}_end\n"
      "    .balign 16\n${_sym}:\n    .incbin \"${_file}\"\n${_sym}_end:\n")
  endif()
  list(APPEND _deps "${_file}")
  math(EXPR _index "${_index} + 1")
endforeach()
if(NOT EMSCRIPTEN AND NOT WIN32)
  string(APPEND _text "    .section .note.GNU-stack,\"\",@progbits\n")
endif()
file(CONFIGURE OUTPUT "${_asm}" CONTENT "${_text}")
set_source_files_properties("${_asm}" PROPERTIES OBJECT_DEPENDS "${_deps}")
set(ZYNTRAX_ASSET_ASM "${_asm}")
