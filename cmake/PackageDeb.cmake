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
