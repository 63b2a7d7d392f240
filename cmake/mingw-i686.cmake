# 32-bit Windows build: the shipped program. This machine cannot run it.
set(TOLVAREN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
