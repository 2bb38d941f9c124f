# The help document as a plain web page: the HTML part of "Veltrano Help.mht", written as
# "Veltrano Help.html" to OUT_DIR. Few Linux desktops open .mht files; every browser opens
# this one. Included from the main CMakeLists (re-run when the help document changes).
function(veltrano_help_page mht out_dir)
  file(READ "${mht}" text)
  # The one part's body starts after the blank line that ends its headers and stops at the
  # closing boundary.
  string(FIND "${text}" "<!DOCTYPE" start)
  string(FIND "${text}" "------=_Veltrano_Help_Boundary--" stop)
  if(start EQUAL -1 OR stop EQUAL -1 OR stop LESS start)
    message(FATAL_ERROR "${mht}: no HTML part found")
  endif()
  math(EXPR length "${stop} - ${start}")
  string(SUBSTRING "${text}" ${start} ${length} html)
  string(REPLACE "Veltrano Help.mht" "Veltrano Help.html" html "${html}")
  file(WRITE "${out_dir}/Veltrano Help.html" "${html}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${mht}")
endfunction()
