# 64-bit Windows: the build the tests run under 64-bit Wine.
set(ZORVIK_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
