# Cross toolchain for the product: 32-bit x86 Windows with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QELV_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
