# Writes an assembly file that carries every asset byte for byte (.incbin), with
# a start and an end symbol per file. Changing a file in assets/ rebuilds it.
set(_asm "${CMAKE_BINARY_DIR}/asset_pack.S")
set(_text "/* generated from assets/; do not edit */\n    .section .rodata\n")
set(_deps "")
set(_index 0)
foreach(_name IN LISTS ZYNTRAX_ASSETS)
  set(_file "${CMAKE_SOURCE_DIR}/assets/${_name}")
  if(NOT EXISTS "${_file}")
    message(FATAL_ERROR "missing asset: assets/${_name} (run the generators in tools/)")
  endif()
  string(APPEND _text
    "    .global zyntrax_asset_${_index}\n    .global zyntrax_asset_${_index}_end\n"
    "    .balign 16\nzyntrax_asset_${_index}:\n    .incbin \"${_file}\"\nzyntrax_asset_${_index}_end:\n")
  list(APPEND _deps "${_file}")
  math(EXPR _index "${_index} + 1")
endforeach()
string(APPEND _text "    .section .note.GNU-stack,\"\",@progbits\n")
file(CONFIGURE OUTPUT "${_asm}" CONTENT "${_text}")
set_source_files_properties("${_asm}" PROPERTIES OBJECT_DEPENDS "${_deps}")
set(ZYNTRAX_ASSET_ASM "${_asm}")
