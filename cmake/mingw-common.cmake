set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOLVAREN_MINGW_TRIPLE})
set(CMAKE_C_COMPILER ${TOLVAREN_MINGW_TRIPLE}-gcc-${TOLVAREN_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TOLVAREN_MINGW_TRIPLE}-g++-${TOLVAREN_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TOLVAREN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVAREN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Runtime linked in: the programs need no DLL beyond the system's. Unused
# functions are dropped.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
# Stripped, and without a link time stamp, so the same sources give the same file.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s -Wl,--no-insert-timestamp")
