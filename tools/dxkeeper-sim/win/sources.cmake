# dxkeeper-sim.exe, the substitute DXKeeper on Windows, and the raw DDE server it shares with the
# Windows link tests' host. Plain Win32, no Qt; the sources beside win/ are the parts the Linux
# sim uses too. Needs the Windows host link sources (src/host/win/sources.cmake) and SQLite.
set(DXKEEPER_SIM_WIN_INCLUDE_DIRS ${CMAKE_CURRENT_LIST_DIR}/.. ${CMAKE_CURRENT_LIST_DIR})
set(DXKEEPER_SIM_WIN_SERVER_SOURCES ${CMAKE_CURRENT_LIST_DIR}/RawDdeServer.cpp)
set(DXKEEPER_SIM_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandJournal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimCommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../HeldLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../JournalFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../QueueNote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../SimCommands.cpp
)
