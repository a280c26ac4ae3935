# 32-bit Windows: the release (DXKeeper's database engine is 32-bit only).
set(ZORVIK_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
