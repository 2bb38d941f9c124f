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
