# The tested build: the same sources as 64-bit Windows code, run under 64-bit Wine.
set(ZELINET_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
# The wrapper is generated into the build tree (it knows the build's private Wine prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
