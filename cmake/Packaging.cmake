# Install rules and the settings every package shares; the package formats add their own
# (PackageDeb.cmake on Linux, PackageZip.cmake on Windows). Included at the end of the main
# CMakeLists, once every target is known.
#
# The program finds its data file, help and sample banks in its own folder, so on Linux
# they are installed together in lib/veltrano, and bin holds symbolic links to the
# programs there (the program's folder is that of the resolved executable).
set(VELTRANO_PROGRAMS)
foreach(t IN ITEMS veltrano veltrano-cli)
  if(TARGET ${t})
    list(APPEND VELTRANO_PROGRAMS ${t})
  endif()
endforeach()

if(WIN32)
  set(VELTRANO_APP_DIR .)
else()
  set(VELTRANO_APP_DIR lib/veltrano)
endif()

install(TARGETS ${VELTRANO_PROGRAMS} RUNTIME DESTINATION ${VELTRANO_APP_DIR})
install(FILES "${CMAKE_SOURCE_DIR}/data/Veltrano.txt" "${CMAKE_SOURCE_DIR}/data/Veltrano Help.mht"
        DESTINATION ${VELTRANO_APP_DIR})
install(DIRECTORY "${CMAKE_SOURCE_DIR}/data/samples" DESTINATION ${VELTRANO_APP_DIR})

if(NOT WIN32)
  install(FILES "${CMAKE_BINARY_DIR}/Veltrano Help.html" DESTINATION ${VELTRANO_APP_DIR})
  set(links_dir "${CMAKE_BINARY_DIR}/package-links")
  file(MAKE_DIRECTORY "${links_dir}")
  foreach(t IN LISTS VELTRANO_PROGRAMS)
    file(CREATE_LINK "../${VELTRANO_APP_DIR}/${t}" "${links_dir}/${t}" SYMBOLIC)
    install(FILES "${links_dir}/${t}" DESTINATION bin)
  endforeach()
  install(FILES "${CMAKE_SOURCE_DIR}/data/veltrano.desktop" DESTINATION share/applications)
  install(FILES "${CMAKE_SOURCE_DIR}/data/veltrano.png"
          DESTINATION share/icons/hicolor/64x64/apps)
  # The two kinds of voice file, for the desktop's MIME database (the desktop entry names them).
  install(FILES "${CMAKE_SOURCE_DIR}/packaging/veltrano.xml" DESTINATION share/mime/packages)
endif()

set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VENDOR "The Veltrano developers")
set(VELTRANO_CONTACT_EMAIL veltrano@example.org)
set(CPACK_PACKAGE_CONTACT "${CPACK_PACKAGE_VENDOR} <${VELTRANO_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://veltrano.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the Control Matrix of AN1x synthesizer voices")
# Lines of at most 80 columns, as the package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Veltrano lists the voices of AN1x voice files (*.ans, *.an1), shows and
edits their Control Matrix, writes a matrix into many voices at once,
searches and replaces controllers and parameters, and keeps named matrices
in collection files (.mtx). veltrano-cli does the same work over a whole
library of banks from the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Veltrano)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/PackageZip.cmake")
    include("${CMAKE_CURRENT_LIST_DIR}/PackageZip.cmake")
  endif()
  # The installer holds the 64-bit program only (NSIS's target amd64-unicode).
  if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND TARGET veltrano)
    include("${CMAKE_CURRENT_LIST_DIR}/PackageInstaller.cmake")
  endif()
else()
  include("${CMAKE_CURRENT_LIST_DIR}/PackageDeb.cmake")
endif()

include(CPack)
