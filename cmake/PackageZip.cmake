# The Windows package: cpack -G ZIP in the windows build folder gives
# veltrano-VERSION-win64.zip (win32 for the 32-bit build), one folder with the program,
# its data file, the help document, the sample banks and a read-me. Unzip and start
# veltrano.exe. Included from Packaging.cmake.
set(CPACK_GENERATOR ZIP)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VELTRANO_ZIP_ARCH win64)
else()
  set(VELTRANO_ZIP_ARCH win32)
endif()
set(CPACK_PACKAGE_FILE_NAME "veltrano-${PROJECT_VERSION}-${VELTRANO_ZIP_ARCH}")
# Everything inside one folder, named like the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
install(FILES "${CMAKE_SOURCE_DIR}/data/ReadMe-Windows.txt" DESTINATION . RENAME "Read Me.txt")

# The manual of veltrano-cli as plain text with CR LF line ends, rendered from its manual
# page by groff (package groff-base).
find_program(VELTRANO_GROFF groff)
if(NOT VELTRANO_GROFF)
  message(FATAL_ERROR "groff not found: the zip's veltrano-cli.txt is rendered with it "
                      "(scripts/deps.sh --test installs groff-base)")
endif()
configure_file("${CMAKE_SOURCE_DIR}/man/veltrano-cli.1.in" "${CMAKE_BINARY_DIR}/man/veltrano-cli.1"
               @ONLY)
# -Tascii without overstriking: no bold or underline, plain characters only.
execute_process(
  COMMAND "${VELTRANO_GROFF}" -man -Tascii -P-c -P-b -P-o -P-u "${CMAKE_BINARY_DIR}/man/veltrano-cli.1"
  OUTPUT_VARIABLE manual RESULT_VARIABLE failed)
if(failed OR manual STREQUAL "")
  message(FATAL_ERROR "groff could not render man/veltrano-cli.1.in")
endif()
string(REPLACE "\n" "\r\n" manual "${manual}")
file(WRITE "${CMAKE_BINARY_DIR}/man/veltrano-cli.txt" "${manual}")
install(FILES "${CMAKE_BINARY_DIR}/man/veltrano-cli.txt" DESTINATION .)
