# 32-bit Windows tests, run under qemu-i386 and 32-bit Wine. They judge the
# shipped files of the 32-bit build (TOLVAREN_PROGRAM_UNDER_TEST,
# TOLVAREN_CLI_UNDER_TEST), not builds of their own.
set(TOLVAREN_MINGW_TRIPLE i686-w64-mingw32)
set(TOLVAREN_MINGW_THREADS posix)  # GoogleTest needs std::mutex
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh)
