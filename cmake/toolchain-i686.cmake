# The shipping build: 32-bit Windows DLL (stdcall export _ZELExtender@48).
set(ZELINET_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
