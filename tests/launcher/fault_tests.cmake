# The launcher against files it cannot use, and against system library names planted in its
# folder: the real Starter.exe under Wine on the window tests' display.
set(fault_root ${CMAKE_CURRENT_BINARY_DIR}/fault-games)
file(MAKE_DIRECTORY ${fault_root})

# Records in a marker file beside itself that some process loaded it.
add_library(planted_library SHARED fault_planted_library.cpp)
set_target_properties(planted_library PROPERTIES PREFIX "")

add_executable(starter_fault_tests fault_test.cpp)
target_link_libraries(starter_fault_tests PRIVATE starter_tests)
target_compile_definitions(starter_fault_tests PRIVATE
  PLANTED_LIBRARY="$<TARGET_FILE:planted_library>" MINIMAL_WINDOW_EXE="$<TARGET_FILE:minimal_window>"
  FAULT_ROOT="${fault_root}")
add_dependencies(starter_fault_tests Starter vorlan planted_library minimal_window)
set_target_properties(starter_fault_tests PROPERTIES CROSSCOMPILING_EMULATOR "${on_display}")
gtest_discover_tests(starter_fault_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  PROPERTIES FIXTURES_REQUIRED starter_display RESOURCE_LOCK starter_display TIMEOUT 180)
kit_gtest(starter_fault_tests NEEDS desktop TIMEOUT 180)
foreach(file $<TARGET_FILE:planted_library> $<TARGET_FILE:minimal_window>)
  kit_file(in_kit files ${file})
endforeach()
