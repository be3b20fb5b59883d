# Run after a page is linked: writes OUT/index.html from HTML with the build id
# (the start of zyntrax.wasm's SHA-256) in place of @ZYNTRAX_BUILD@ and, for the
# test page, a <script> for TEST_SCRIPT (copied beside it); copies the ICONS
# (a list joined by |).
file(SHA256 "${OUT}/zyntrax.wasm" _hash)
string(SUBSTRING "${_hash}" 0 16 _build)
file(READ "${HTML}" _html)
set(_script "")
if(TEST_SCRIPT)
  get_filename_component(_name "${TEST_SCRIPT}" NAME)
  configure_file("${TEST_SCRIPT}" "${OUT}/${_name}" COPYONLY)
  set(_script "<script src=\"${_name}?v=${_build}\"></script>")
endif()
string(REPLACE "<!--@ZYNTRAX_TEST_SCRIPT@-->" "${_script}" _html "${_html}")
string(REPLACE "@ZYNTRAX_BUILD@" "${_build}" _html "${_html}")
file(WRITE "${OUT}/index.html" "${_html}")
string(REPLACE "|" ";" ICONS "${ICONS}")
foreach(_icon ${ICONS})
  file(COPY "${_icon}" DESTINATION "${OUT}")
endforeach()
