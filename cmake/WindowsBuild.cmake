# The Windows build, cross-compiled with mingw-w64 (toolchain files cmake/mingw-w64-*.cmake; the
# script scripts/build-windows drives it). No Qt: the Win32 window of src/ui/win is the front end.
# SQLite is compiled from its amalgamation and GoogleTest from its sources, so every program is
# one static executable that needs no DLL beside it.
enable_language(C)
enable_language(RC)

# Windows 7 and later, wide-character Win32.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static)
add_link_options($<$<CONFIG:Release>:-s>)

# sqlite3.c and sqlite3.h, made from Debian's sqlite3 source package by scripts/build-windows.
set(ZORVIK_SQLITE_AMALGAMATION "" CACHE PATH "Folder holding SQLite's sqlite3.c and sqlite3.h")
if(NOT EXISTS "${ZORVIK_SQLITE_AMALGAMATION}/sqlite3.c")
  message(FATAL_ERROR "ZORVIK_SQLITE_AMALGAMATION must name a folder with sqlite3.c and sqlite3.h "
                      "(scripts/build-windows makes one)")
endif()
add_library(zorvik_sqlite3 STATIC ${ZORVIK_SQLITE_AMALGAMATION}/sqlite3.c)
target_include_directories(zorvik_sqlite3 SYSTEM PUBLIC ${ZORVIK_SQLITE_AMALGAMATION})
# SQLite's own code; its warnings are not ours to fix.
target_compile_options(zorvik_sqlite3 PRIVATE -w)
# Reads and writes at a file position set with SetFilePointer, not through an OVERLAPPED offset.
# Under Wine every ReadFile or WriteFile given an OVERLAPPED asks Wine's server whether to post an
# I/O completion, one round trip per page: the Add on 100,000 contacts took 2.6 times as long as
# on Linux, and 1.0 times with this (docs/performance.md). On Windows it costs one cheap call per
# read or write; SQLite uses the file handle from one thread at a time either way.
target_compile_definitions(zorvik_sqlite3 PRIVATE SQLITE_WIN32_NO_OVERLAPPED)
# The same name the Linux build finds, so the libraries link it unchanged.
add_library(SQLite::SQLite3 ALIAS zorvik_sqlite3)

if(ZORVIK_BUILD_TESTS)
  set(ZORVIK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
      "GoogleTest sources (Debian package googletest)")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ZORVIK_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
endif()
