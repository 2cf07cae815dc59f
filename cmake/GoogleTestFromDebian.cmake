# GoogleTest is built from the sources that Debian's googletest package installs, for each preset.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# add_unit_test(NAME SOURCES... LIBS ... [TEST_SUFFIX suffix] [PROPERTIES name value...]
#               [NEEDS need...]): one GoogleTest program, linked with the shared test support
# (tests/support), its cases discovered when ctest runs (under Wine for the Windows preset) so the
# build itself never starts Wine. TEST_SUFFIX tells apart the cases of a source built into more
# than one program; PROPERTIES are the ctest properties of its cases, NEEDS what they need in the
# Windows test kit (see kit_gtest).
function(add_unit_test name)
  cmake_parse_arguments(arg "" "TEST_SUFFIX" "SOURCES;LIBS;PROPERTIES;NEEDS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} test_support GTest::gmock_main)
  set(properties)
  if(arg_PROPERTIES)
    set(properties PROPERTIES ${arg_PROPERTIES})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} TEST_SUFFIX "${arg_TEST_SUFFIX}" ${properties})
  if(WIN32)
    kit_gtest(${name} SUFFIX "${arg_TEST_SUFFIX}" NEEDS ${arg_NEEDS})
  endif()
endfunction()
