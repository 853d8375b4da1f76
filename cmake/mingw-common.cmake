# What both cross toolchains share; each names its MinGW-w64 target first
# (QELV_MINGW_TARGET, CMAKE_SYSTEM_PROCESSOR). The win32 thread model keeps
# winpthread out: the runtime, linked statically, then brings no thread
# library of its own (nor its thread-suspending imports), only the TLS
# calls that thread_local needs. Programs run under Wine:
# tools/wine-run.sh picks the 32- or 64-bit prefix from the program itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QELV_MINGW_TARGET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QELV_MINGW_TARGET}-g++-win32)
set(CMAKE_RC_COMPILER ${QELV_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QELV_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
