# The Debian package: cpack -G DEB in a build folder gives veltrano_VERSION_ARCH.deb, for
# apt install ./veltrano_*.deb. Included from Packaging.cmake.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (wxWidgets, GTK, the C++ runtime) come from dpkg-shlibdeps;
# GTK needs besides them what draws its theme, and the panel a font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "librsvg2-common, shared-mime-info, adwaita-icon-theme, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

# What a Debian package carries besides the programs: the manual pages, the copyright and
# the changelog (gzipped at the highest level, without a time stamp, as lintian asks), and
# the AppStream metadata through which software centres list the program.
set(VELTRANO_DEB_DOCS "${CMAKE_BINARY_DIR}/package-docs")
file(MAKE_DIRECTORY "${VELTRANO_DEB_DOCS}")
function(veltrano_gzip file)
  execute_process(COMMAND gzip -9 -n -c INPUT_FILE "${file}" OUTPUT_FILE "${file}.gz"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endfunction()
foreach(page IN ITEMS veltrano veltrano-cli)
  configure_file("${CMAKE_SOURCE_DIR}/man/${page}.1.in" "${VELTRANO_DEB_DOCS}/${page}.1" @ONLY)
  veltrano_gzip("${VELTRANO_DEB_DOCS}/${page}.1")
  install(FILES "${VELTRANO_DEB_DOCS}/${page}.1.gz" DESTINATION share/man/man1)
endforeach()
configure_file("${CMAKE_SOURCE_DIR}/packaging/changelog" "${VELTRANO_DEB_DOCS}/changelog" COPYONLY)
veltrano_gzip("${VELTRANO_DEB_DOCS}/changelog")
install(FILES "${VELTRANO_DEB_DOCS}/changelog.gz" "${CMAKE_SOURCE_DIR}/packaging/copyright"
        DESTINATION share/doc/veltrano)
set(VELTRANO_METAINFO org.example.veltrano.metainfo.xml)
configure_file("${CMAKE_SOURCE_DIR}/packaging/${VELTRANO_METAINFO}.in"
               "${VELTRANO_DEB_DOCS}/${VELTRANO_METAINFO}" @ONLY)
install(FILES "${VELTRANO_DEB_DOCS}/${VELTRANO_METAINFO}" DESTINATION share/metainfo)
