# Fuzz targets: in the `fuzz` preset (clang, libFuzzer) each becomes a fuzzer that ctest runs for
# FUZZ_SECONDS over its seed corpus; in the `native` preset each becomes a replay program that
# ctest runs over the seed corpus, which also holds every input that ever crashed.
option(FUZZING "Build the fuzzers (clang with libFuzzer)" OFF)
set(FUZZ_SECONDS 30 CACHE STRING "How long ctest runs each fuzzer")
if(FUZZING)
  add_custom_target(fuzzers)
endif()

# add_fuzz_target(NAME SOURCES ... LIBS ... CORPUS folder [DICTIONARY file])
function(add_fuzz_target name)
  cmake_parse_arguments(arg "" "CORPUS;DICTIONARY" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} EXCLUDE_FROM_ALL ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  if(FUZZING)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${name})
    set(found ${CMAKE_CURRENT_BINARY_DIR}/${name}-found)
    set(dictionary)
    if(arg_DICTIONARY)
      set(dictionary -dict=${arg_DICTIONARY})
    endif()
    add_test(NAME ${name}.fuzz
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
        $<TARGET_FILE:${name}> -max_total_time=${FUZZ_SECONDS} -print_final_stats=1
        -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- ${dictionary} ${found} ${arg_CORPUS})
    file(MAKE_DIRECTORY ${found})
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL OFF)
    add_test(NAME ${name}.replay COMMAND ${name} ${arg_CORPUS})
  endif()
endfunction()
