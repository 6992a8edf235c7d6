# A cross build: GoogleTest compiled for the target from Debian's source, since no GoogleTest
# library for the target is installed. find_package(GTest) then finds these targets.
set(STRMA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source for cross builds")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${STRMA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own code is not held to this project's warning flags.
set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")

set(strma_gtest_config_dir ${CMAKE_BINARY_DIR}/googletest-config)
file(WRITE ${strma_gtest_config_dir}/GTestConfig.cmake
     "# GTest::gtest and GTest::gtest_main are built from source in this tree.\n")
set(GTest_DIR ${strma_gtest_config_dir} CACHE PATH "" FORCE)

if(WIN32)
  # GoogleTest reads a death test's captured standard error back with fopen in text mode, which
  # turns the reports' CR LF into LF; the test programs open files in binary mode instead.
  target_link_libraries(gtest_main PUBLIC ${CMAKE_FIND_ROOT_PATH}/lib/binmode.o)
endif()
