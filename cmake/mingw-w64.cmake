# Cross-compiling for Windows with Debian's mingw-w64, the posix thread variant (the win32 variant
# has no std::thread or std::mutex). Included by the toolchain files beside it, which name the
# architecture in ZORVIK_MINGW_ARCH: i686 for the release, x86_64 for the build the tests run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZORVIK_MINGW_ARCH})
set(ZORVIK_MINGW_TRIPLET ${ZORVIK_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVIK_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVIK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# 64-bit programs run here under 64-bit Wine, called through its loader directly (the `wine`
# wrapper would pick a 32-bit loader if one were installed). 32-bit programs cannot run on this
# machine at all, so the i686 build has no emulator and no tests.
if(ZORVIK_MINGW_ARCH STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
