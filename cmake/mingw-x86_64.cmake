# 64-bit Windows build: runs the Windows tests under wine64.
set(TOLVAREN_MINGW_TRIPLE x86_64-w64-mingw32)
set(TOLVAREN_MINGW_THREADS posix)  # GoogleTest needs std::mutex
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
