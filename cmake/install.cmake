# What an integrator gets from `cmake --install`, and tools/dist.sh packs
# (stripped and with symbols/ added): the DLL and the command-line caller,
# the headers, an import library and module-definition file, the barcode
# font, the guide, the licences and the changes.
#
#   bin/qelv_dorevivi.dll  bin/qelvcall.exe
#   include/qelv_dorevivi.h  include/qelv_errors.h  include/qelv_version.h
#   lib/qelv_dorevivi.lib  lib/qelv_dorevivi.def
#   fonts/code128.ttf  fonts/FONT-LICENSE.txt  fonts/code128_font.py
#   fonts/install-font.cmd  fonts/uninstall-font.cmd
#   symbols/qelv_dorevivi.pdb
#   integration-guide.md  LICENSE  THIRD-PARTY-NOTICES.txt  CHANGELOG.md
if(NOT WIN32)
  return()
endif()

# The import library the linker makes along with the DLL names the working
# exports without their @bytes, so a caller compiled against the stdcall
# prototypes (which references _OpenVarEda@8) does not link against it. The
# one we ship is in the short import format that MSVC's own tools write: each
# decorated symbol imports the plain name, its objects are SafeSEH-clean for
# MSVC's x86 linker, and MinGW's linker reads it too.
set(qelv_def_in ${QELV_DEF_FILE})
set(qelv_sdk_dir ${CMAKE_BINARY_DIR}/sdk)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qelv_def_in})

file(STRINGS ${qelv_def_in} qelv_def_lines)
set(qelv_plain_def "; Names and ordinals of qelv_dorevivi.dll's exports.\n")
if(QELV_ARCH STREQUAL x86)
  string(APPEND qelv_plain_def "; 1 to 13 and 18 to 21 are __stdcall functions exported without decoration.\n")
  set(qelv_dlltool_machine i386)
else()
  string(APPEND qelv_plain_def "; The x64 DLL: one calling convention, no decoration.\n")
  set(qelv_dlltool_machine i386:x86-64)
endif()
string(APPEND qelv_plain_def "LIBRARY \"qelv_dorevivi.dll\"\nEXPORTS\n")
set(qelv_implib_def "LIBRARY \"qelv_dorevivi.dll\"\nEXPORTS\n")
foreach(line IN LISTS qelv_def_lines)
  if(line MATCHES "^[ \t]*([^ \t;=]+)[ \t]*=[ \t]*([^ \t]+)[ \t]+@([0-9]+)[ \t]*(DATA)?")
    set(exported ${CMAKE_MATCH_1})
    set(internal ${CMAKE_MATCH_2})
    set(ordinal ${CMAKE_MATCH_3})
    set(data ${CMAKE_MATCH_4})
    string(STRIP "${exported} @${ordinal} ${data}" entry)
    string(APPEND qelv_plain_def "    ${entry}\n")
    # The stdcall symbol, whose @bytes the tool strips (-k) for the import.
    string(REGEX REPLACE "@[0-9]+$" "" undecorated "${internal}")
    if(undecorated STREQUAL exported AND NOT internal STREQUAL exported)
      set(exported ${internal})
    endif()
    string(STRIP "${exported} @${ordinal} ${data}" entry)
    string(APPEND qelv_implib_def "    ${entry}\n")
  endif()
endforeach()
file(WRITE ${qelv_sdk_dir}/qelv_dorevivi.def "${qelv_plain_def}")
file(WRITE ${CMAKE_BINARY_DIR}/qelv_dorevivi-implib.def "${qelv_implib_def}")

find_program(QELV_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
add_custom_command(
  OUTPUT ${qelv_sdk_dir}/qelv_dorevivi.lib
  COMMAND ${QELV_LLVM_DLLTOOL} -m ${qelv_dlltool_machine} -k -D qelv_dorevivi.dll
          -d ${CMAKE_BINARY_DIR}/qelv_dorevivi-implib.def
          -l ${qelv_sdk_dir}/qelv_dorevivi.lib
  DEPENDS ${qelv_def_in}
  COMMENT "Import library for integrators"
  VERBATIM)
add_custom_target(qelv_import_library ALL DEPENDS ${qelv_sdk_dir}/qelv_dorevivi.lib)

install(FILES $<TARGET_FILE:qelv_dorevivi> $<TARGET_FILE:qelvcall> DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/include/qelv_dorevivi.h ${CMAKE_SOURCE_DIR}/include/qelv_errors.h
              ${CMAKE_BINARY_DIR}/include/qelv_version.h
        DESTINATION include)
install(FILES ${qelv_sdk_dir}/qelv_dorevivi.lib ${qelv_sdk_dir}/qelv_dorevivi.def
        DESTINATION lib)
install(FILES ${CMAKE_BINARY_DIR}/qelv_dorevivi.pdb DESTINATION symbols)
install(FILES ${CMAKE_BINARY_DIR}/fonts/code128.ttf ${CMAKE_SOURCE_DIR}/dist/FONT-LICENSE.txt
              ${CMAKE_SOURCE_DIR}/tools/fonts/code128_font.py
              ${CMAKE_SOURCE_DIR}/dist/install-font.cmd ${CMAKE_SOURCE_DIR}/dist/uninstall-font.cmd
        DESTINATION fonts)

# The notices of the runtime linked into the binaries, with every licence
# text they refer to, from the build machine's packages.
execute_process(
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/notices.py ${CMAKE_SOURCE_DIR}/dist/THIRD-PARTY-NOTICES.head
          /usr/share/doc/mingw-w64-common/copyright /usr/share/doc/gcc-mingw-w64-base/copyright
          /usr/share/common-licenses/GPL-3 ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt
  COMMAND_ERROR_IS_FATAL ANY)
# The changes, headed by the version this build is.
file(READ ${CMAKE_SOURCE_DIR}/CHANGELOG.md qelv_changelog)
string(REPLACE "\n## Unreleased\n" "\n## ${QELV_VERSION}\n" qelv_changelog "${qelv_changelog}")
file(WRITE ${CMAKE_BINARY_DIR}/CHANGELOG.md "${qelv_changelog}")
install(FILES ${CMAKE_SOURCE_DIR}/docs/integration-guide.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_BINARY_DIR}/CHANGELOG.md ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt
        DESTINATION .)
