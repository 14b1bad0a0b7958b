# Cross-compile the Win32 sources with mingw-w64; binaries run under Wine.
#
# PELORIN_ARCH (a cache variable, or else the environment) picks the word size:
# x86_64 (the default) or i686, the device's 32 bits, run by 32-bit Wine.
if(NOT PELORIN_ARCH)
  set(PELORIN_ARCH "$ENV{PELORIN_ARCH}")
endif()
if(NOT PELORIN_ARCH)
  set(PELORIN_ARCH x86_64)
endif()
if(PELORIN_ARCH STREQUAL "x86_64")
  set(PELORIN_WINE /usr/lib/wine/wine64)
elseif(PELORIN_ARCH STREQUAL "i686")
  set(PELORIN_WINE /usr/lib/wine/wine)
else()
  message(FATAL_ERROR "PELORIN_ARCH must be x86_64 or i686, not '${PELORIN_ARCH}'")
endif()
set(PELORIN_ARCH ${PELORIN_ARCH} CACHE STRING "x86_64 or i686" FORCE)
# Checks that CMake compiles in their own projects use the same compiler.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PELORIN_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PELORIN_ARCH})
set(TOOLCHAIN_PREFIX ${PELORIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PELORIN_WINE})
