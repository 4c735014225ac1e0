# The tested build: the same sources as 64-bit Windows code, run under 64-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZELINET_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZELINET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELINET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZELINET_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELINET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The wrapper is generated into the build tree (it knows the build's private Wine prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
