# 32-bit Windows build: the shipped program. This machine cannot run it.
set(TOLVAREN_MINGW_TRIPLE i686-w64-mingw32)
# The program has one thread: the win32 thread model keeps the POSIX
# threads library out of the shipped file. No tests are built here.
set(TOLVAREN_MINGW_THREADS win32)
set(TOLVAREN_TESTS OFF CACHE BOOL "" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
