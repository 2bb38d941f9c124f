# Cross build for Windows with MinGW-w64 (x86_64). The same CMake files build natively on
# Windows with MinGW, without this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELTRANO_MINGW_PREFIX x86_64-w64-mingw32)
# Debian ships a win32-threads and a posix-threads compiler; std::thread needs posix.
find_program(CMAKE_CXX_COMPILER NAMES ${VELTRANO_MINGW_PREFIX}-g++-posix ${VELTRANO_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${VELTRANO_MINGW_PREFIX}-gcc-posix ${VELTRANO_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VELTRANO_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${VELTRANO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
