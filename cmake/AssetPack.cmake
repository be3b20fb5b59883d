# Writes an assembly file that carries every file of driver/carried_files.h byte
# for byte (.incbin), with a start and an end symbol per file, named after the
# row's symbol. Changing a file in assets/ rebuilds it; changing the list
# configures again.
# WebAssembly objects keep each file in a data section of its own whose symbols
# carry their sizes, so that target gets its own layout of the same file.
set(_asm "${CMAKE_BINARY_DIR}/asset_pack.S")
if(EMSCRIPTEN)
  set(_text "/* generated from assets/; do not edit */\n")
else()
  set(_text "/* generated from assets/; do not edit */\n    .section .rodata\n")
endif()
set(_list "${CMAKE_SOURCE_DIR}/driver/carried_files.h")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_list}")
file(STRINGS "${_list}" _rows REGEX "^CARRIED_[A-Z]+\\(")
set(_deps "")
foreach(_row IN LISTS _rows)
  if(NOT _row MATCHES "^CARRIED_[A-Z]+\\(([a-z0-9_]+), \"([^\"]+)\"")
    message(FATAL_ERROR "driver/carried_files.h: cannot read the row ${_row}")
  endif()
  set(_sym "zyntrax_asset_${CMAKE_MATCH_1}")
  set(_name "${CMAKE_MATCH_2}")
  set(_file "${CMAKE_SOURCE_DIR}/assets/${_name}")
  if(NOT EXISTS "${_file}")
    message(FATAL_ERROR "missing asset: assets/${_name} (run the generators in tools/)")
  endif()
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
endforeach()
if(NOT EMSCRIPTEN AND NOT WIN32)
  string(APPEND _text "    .section .note.GNU-stack,\"\",@progbits\n")
endif()
file(CONFIGURE OUTPUT "${_asm}" CONTENT "${_text}")
set_source_files_properties("${_asm}" PROPERTIES OBJECT_DEPENDS "${_deps}")
set(ZYNTRAX_ASSET_ASM "${_asm}")
