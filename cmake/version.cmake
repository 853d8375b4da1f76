# One version: project(VERSION) gives the first three fields, the number of
# commits the fourth, and the commit goes into the product version. A tree
# without git history builds as build 0 of commit "unknown", unless it is
# given QELV_BUILD_NUMBER, QELV_COMMIT and QELV_COMMIT_TIME (tools/dist.sh
# builds an export of the commit that way).
find_package(Git QUIET)
if(DEFINED QELV_COMMIT)
  # Given from outside.
elseif(GIT_FOUND AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE QELV_BUILD_NUMBER
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=12 HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE QELV_COMMIT
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE QELV_COMMIT_TIME
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --is-shallow-repository
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE qelv_shallow
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(qelv_shallow STREQUAL "true")
    message(WARNING "A shallow clone: build number ${QELV_BUILD_NUMBER} counts only the commits "
                    "it holds. make dist refuses to pack it.")
  endif()
else()
  set(QELV_BUILD_NUMBER 0)
  set(QELV_COMMIT unknown)
  set(QELV_COMMIT_TIME 0)
endif()
set(QELV_VERSION ${PROJECT_VERSION}.${QELV_BUILD_NUMBER})
string(REPLACE "." "," QELV_VERSION_COMMAS ${QELV_VERSION})
# The year of the commit, so that a rebuild of it says the same.
string(TIMESTAMP QELV_YEAR "%Y" UTC)
if(QELV_COMMIT_TIME GREATER 0)
  set(ENV{SOURCE_DATE_EPOCH} ${QELV_COMMIT_TIME})
  string(TIMESTAMP QELV_YEAR "%Y" UTC)
endif()
set(QELV_COPYRIGHT "Copyright (c) ${QELV_YEAR} the qelv_dorevivi developers; MIT licence")

# Who ships this build and where its users get help, shown in the files'
# properties and by qelvcall --version: a hospital's IT or a distributor
# building the kit sets its own (make dist QELV_COMPANY=... QELV_SUPPORT=...).
set(QELV_COMPANY "the qelv_dorevivi developers" CACHE STRING "CompanyName of the binaries")
set(QELV_SUPPORT "the supplier of this kit" CACHE STRING "Support contact of the binaries")

configure_file(${CMAKE_SOURCE_DIR}/include/qelv_version.h.in
               ${CMAKE_BINARY_DIR}/include/qelv_version.h @ONLY)

# version_resource(TARGET FILE_NAME DESCRIPTION FILE_TYPE): a version
# resource for a program or DLL of ours.
function(version_resource target file_name description file_type)
  set(QELV_RC_FILE_NAME ${file_name})
  set(QELV_RC_DESCRIPTION ${description})
  set(QELV_RC_FILE_TYPE ${file_type})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()
