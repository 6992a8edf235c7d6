# A cross build: the tests that run on this machine and start the target's executable through
# its emulator, as a real process with real pipes and files.
#
# - The end-to-end tests of the host build (STRMA_HOST_BUILD_DIR, by default build/), with the
#   program under test replaced by the target's executable. Under Wine the tests listed in
#   wine-skips.txt do not run: they need what Wine cannot give byte for byte (a terminal,
#   another user, a device or a Linux error in the place of izlaz.dat).
# - The cross-target comparison: every case of cases.txt run with the host build's strma and
#   with the target's, every byte compared.
set(STRMA_HOST_BUILD_DIR ${PROJECT_SOURCE_DIR}/build CACHE PATH
    "Linux x86-64 build whose strma and e2e_tests the cross-target tests use")
find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(WIN32)
  set(strma_target_name windows)
  set(strma_emulator ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
else()
  set(strma_target_name ${CMAKE_SYSTEM_PROCESSOR})
  set(strma_emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()

# The target's executable as one command, for the host harness to start.
set(strma_under_test ${CMAKE_BINARY_DIR}/strma-under-emulator)
file(GENERATE OUTPUT ${strma_under_test}
     CONTENT "#!/bin/sh\nexec ${strma_emulator} '$<TARGET_FILE:strma>' \"$@\"\n"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)

set(strma_skips "")
if(WIN32)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/wine-skips.txt strma_skip_lines REGEX "^[^#].*\\|")
  foreach(line IN LISTS strma_skip_lines)
    string(REGEX REPLACE " *\\|.*" "" test_name "${line}")
    string(APPEND strma_skips ":${test_name}")
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${CMAKE_CURRENT_LIST_DIR}/wine-skips.txt)
endif()

if(EXISTS ${STRMA_HOST_BUILD_DIR}/tests/e2e_tests)
  add_executable(host_e2e_tests IMPORTED)
  set_target_properties(host_e2e_tests PROPERTIES
    IMPORTED_LOCATION ${STRMA_HOST_BUILD_DIR}/tests/e2e_tests
    CROSSCOMPILING_EMULATOR "env;STRMA_UNDER_TEST=${strma_under_test}")
  gtest_discover_tests(host_e2e_tests DISCOVERY_MODE PRE_TEST
                       TEST_PREFIX "${strma_target_name}."
                       TEST_FILTER "*-DISABLED_*${strma_skips}"
                       PROPERTIES TIMEOUT 300)
else()
  message(WARNING "No ${STRMA_HOST_BUILD_DIR}/tests/e2e_tests: build the host first "
                  "(cmake --build --preset default); the end-to-end tests are left out")
endif()

add_test(NAME ${strma_target_name}.same_bytes_as_linux_x86_64
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/compare.py
                 ${CMAKE_CURRENT_LIST_DIR}/cases.txt ${STRMA_HOST_BUILD_DIR}/strma
                 ${strma_under_test})
set_tests_properties(${strma_target_name}.same_bytes_as_linux_x86_64 PROPERTIES TIMEOUT 900)
