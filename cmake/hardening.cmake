# What the Windows binaries are built with, so that a hospital's scanners
# find them hardened, a rebuild of one commit gives the same bytes, and a
# crash offset maps to a line.

# Stack protection, frame pointers for walking stacks, full debug
# information (split off into symbols/ by make dist), and source paths
# that name the source tree as /qelv_dorevivi wherever it was built.
add_compile_options(-fstack-protector-strong -fno-omit-frame-pointer -g
                    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=/qelv_dorevivi
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=/qelv_dorevivi/build)
add_link_options(-fstack-protector-strong)

# The oldest Windows every import exists on: Vista (6.0), for the
# rename-by-handle that keeps labels whole. No timestamps: two builds of one
# commit are the same bytes. (The image version comes from the targets'
# VERSION.)
set(QELV_MIN_WINDOWS 6.0)
set(QELV_HARDENED_LINK
    -Wl,--dynamicbase -Wl,--nxcompat
    -Wl,--major-os-version,6 -Wl,--minor-os-version,0
    -Wl,--subsystem,windows:${QELV_MIN_WINDOWS}
    -Wl,--no-insert-timestamp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # x64: ASLR over the whole 64-bit space. C++ exceptions unwind through the
  # image's SEH tables here, so it must not claim NO_SEH.
  list(APPEND QELV_HARDENED_LINK -Wl,--high-entropy-va)
else()
  # x86: GNU ld writes no SafeSEH table; the code registers no SEH handler
  # (C++ exceptions unwind by DWARF tables), so the image says so.
  list(APPEND QELV_HARDENED_LINK -Wl,--no-seh)
endif()
