# The Windows host link and settings store, shared by the program's build (CMakeLists.txt here)
# and the cross-built Windows tests (tests/windows).
set(ZORVIK_HOST_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DdeFailures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DdemlClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DdemlSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DdeWorker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Platform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistrySettingsStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideText.cpp
)
set(ZORVIK_HOST_WIN_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(ZORVIK_HOST_WIN_SYSTEM_LIBS user32 advapi32)
