# 32-bit Windows build: the shipped program and tool.
set(TOLVAREN_MINGW_TRIPLE i686-w64-mingw32)
# The program has one thread: the win32 thread model keeps the POSIX
# threads library out of the shipped file. Its tests are built apart
# (mingw-i686-tests.cmake), since GoogleTest needs the POSIX model.
set(TOLVAREN_MINGW_THREADS win32)
set(TOLVAREN_TESTS OFF CACHE BOOL "" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Its files run, here too, under qemu-i386 and 32-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh)
