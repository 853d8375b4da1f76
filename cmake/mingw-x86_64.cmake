# Cross toolchain for the x64 build of the same sources: 64-bit Windows with
# MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QELV_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
