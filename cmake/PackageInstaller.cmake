# The Windows installer, veltrano-VERSION-setup.exe beside the zip, made by every build of
# the 64-bit Windows program (target installer, part of all) with NSIS's makensis (Debian's
# package nsis). The files are those of the zip, staged with cmake --install --strip; the
# script is packaging/veltrano.nsi. Included from Packaging.cmake.
find_program(VELTRANO_MAKENSIS makensis)
if(NOT VELTRANO_MAKENSIS)
  message(WARNING "makensis not found: the Windows installer is not built "
                  "(scripts/deps.sh --test installs nsis)")
  return()
endif()
set(VELTRANO_INSTALLER "${CMAKE_BINARY_DIR}/veltrano-${PROJECT_VERSION}-setup.exe")
set(stage "${CMAKE_BINARY_DIR}/installer/stage")
set(files "${CMAKE_BINARY_DIR}/installer/files.nsh")
file(GLOB_RECURSE samples CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/samples/*")
add_custom_command(
  OUTPUT "${VELTRANO_INSTALLER}"
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${stage}"
  COMMAND ${CMAKE_COMMAND} --install "${CMAKE_BINARY_DIR}" --prefix "${stage}" --strip
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DOUT=${files}
          -P "${CMAKE_SOURCE_DIR}/cmake/InstallerFiles.cmake"
  COMMAND "${VELTRANO_MAKENSIS}" -V2 -NOCD
          "-DVERSION=${PROJECT_VERSION}"
          "-DVERSION_QUAD=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0"
          "-DSTAGE=${stage}" "-DFILES=${files}" "-DICON=${CMAKE_SOURCE_DIR}/data/veltrano.ico"
          "-DOUTFILE=${VELTRANO_INSTALLER}"
          "${CMAKE_SOURCE_DIR}/packaging/veltrano.nsi"
  DEPENDS ${VELTRANO_PROGRAMS} "${CMAKE_SOURCE_DIR}/packaging/veltrano.nsi"
          "${CMAKE_SOURCE_DIR}/cmake/InstallerFiles.cmake" ${VELTRANO_DATA_FILES} ${samples}
          "${CMAKE_BINARY_DIR}/man/veltrano-cli.txt"
  COMMENT "Building the Windows installer veltrano-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(installer ALL DEPENDS "${VELTRANO_INSTALLER}")
