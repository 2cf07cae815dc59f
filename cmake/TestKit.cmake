# The Windows test kit: the Windows tests as one zip that runs on any Windows machine, driven by
# run-tests.exe (tests/kit). The functions that register Windows tests with ctest register them
# here as well, so the kit's manifest (kit_tests.txt) and the files it needs come from the same
# calls; a ctest test the kit cannot hold is registered with kit_leaves_out and a reason.
#
# In a manifest argument "@kit/FOLDER/NAME" is a file of the kit and "@work/NAME" a file in the
# run's own folder; run-tests.exe resolves both.

# kit_file(VARIABLE FOLDER PATH): PATH (a generator expression may name it) goes into the kit's
# FOLDER; VARIABLE is set to how the manifest names it.
function(kit_file variable folder path)
  set_property(GLOBAL APPEND PROPERTY KIT_FILES "${folder}|${path}")
  # The kit is made after the targets whose files it holds.
  string(REGEX MATCHALL "\\$<TARGET_(FILE|PROPERTY):[A-Za-z0-9_]+" named "${path}")
  foreach(reference IN LISTS named)
    string(REGEX REPLACE ".*:" "" target "${reference}")
    set_property(GLOBAL APPEND PROPERTY KIT_TARGETS ${target})
  endforeach()
  set(${variable} "@kit/${folder}/$<PATH:GET_FILENAME,${path}>" PARENT_SCOPE)
endfunction()

# kit_folder(FOLDER SOURCE-FOLDER): the files under SOURCE-FOLDER go into the kit's FOLDER.
function(kit_folder folder source)
  set_property(GLOBAL APPEND PROPERTY KIT_FOLDERS "${folder}|${source}")
endfunction()

function(kit_manifest_line line)
  if(line MATCHES ";")
    message(FATAL_ERROR "A kit manifest line cannot hold a ';': ${line}")
  endif()
  set_property(GLOBAL APPEND PROPERTY KIT_MANIFEST "${line}")
endfunction()

# kit_leaves_out(REASON test...): these ctest tests are not in the kit, for REASON.
function(kit_leaves_out reason)
  foreach(test IN LISTS ARGN)
    kit_manifest_line("absent\t${test}\t${reason}")
  endforeach()
endfunction()

function(kit_test_line name kind needs timeout arguments)
  if(needs)
    string(JOIN "," needs ${needs})
  else()
    set(needs "-")
  endif()
  if(NOT timeout)
    set(timeout 300)
  endif()
  string(JOIN "\t" line "test" ${name} ${needs} ${timeout} ${kind} ${arguments})
  kit_manifest_line("${line}")
endfunction()

# kit_gtest(PROGRAM [SUFFIX suffix] [NEEDS need...] [TIMEOUT seconds]): the GoogleTest program's
# cases are in the kit, named as gtest_discover_tests names them; it lies in tests/PROGRAM with
# what place_beside_tests puts beside it. NEEDS: "desktop" (a display at 96 dots per inch to show
# windows on), "c_1_temp" (a writable c:\1_temp).
function(kit_gtest program)
  cmake_parse_arguments(arg "" "SUFFIX;TIMEOUT" "NEEDS" ${ARGN})
  kit_file(file tests/${program} $<TARGET_FILE:${program}>)
  # The suffix is the last field, empty when there is none.
  kit_test_line(${program} gtest "${arg_NEEDS}" "${arg_TIMEOUT}" "${file}\t${arg_SUFFIX}")
endfunction()

# add_kit_test(NAME name RUN kind|PROGRAM [NEEDS need...] [TIMEOUT seconds] [CTEST_LAUNCHER command...]
#              ARGUMENTS argument...)
# One test in ctest and in the kit. RUN game-flow or expect-output: run-tests.exe --run runs it
# (see tests/kit/run_tests.cpp); PROGRAM: the first argument is the program, passing when it ends
# with 0, under ctest started by CTEST_LAUNCHER when one is given. An argument "FILE:FOLDER:PATH"
# is a file (ctest uses PATH, the kit holds it in FOLDER), "FOLDER:FOLDER:PATH" the same for a
# folder and what it holds, "WORK:NAME" a file the test makes (in this build folder for ctest, in
# the run's own folder in the kit); others pass as they are.
function(add_kit_test)
  cmake_parse_arguments(arg "PROGRAM" "NAME;RUN;TIMEOUT" "NEEDS;CTEST_LAUNCHER;ARGUMENTS" ${ARGN})
  set(ctest_arguments)
  set(kit_arguments)
  foreach(argument IN LISTS arg_ARGUMENTS)
    if(argument MATCHES "^FILE:([^:]+):(.+)$")
      list(APPEND ctest_arguments ${CMAKE_MATCH_2})
      kit_file(in_kit ${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
      list(APPEND kit_arguments ${in_kit})
    elseif(argument MATCHES "^FOLDER:([^:]+):(.+)$")
      list(APPEND ctest_arguments ${CMAKE_MATCH_2})
      kit_folder(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
      list(APPEND kit_arguments @kit/${CMAKE_MATCH_1})
    elseif(argument MATCHES "^WORK:(.+)$")
      list(APPEND ctest_arguments ${CMAKE_CURRENT_BINARY_DIR}/${CMAKE_MATCH_1})
      list(APPEND kit_arguments @work/${CMAKE_MATCH_1})
    else()
      list(APPEND ctest_arguments ${argument})
      list(APPEND kit_arguments ${argument})
    endif()
  endforeach()
  if(arg_PROGRAM)
    add_test(NAME ${arg_NAME} COMMAND ${arg_CTEST_LAUNCHER} ${ctest_arguments})
    set(kind program)
  else()
    add_test(NAME ${arg_NAME} COMMAND run_tests --run ${arg_RUN} ${ctest_arguments})
    set(kind ${arg_RUN})
  endif()
  if(arg_TIMEOUT)
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${arg_TIMEOUT})
  endif()
  kit_test_line(${arg_NAME} ${kind} "${arg_NEEDS}" "${arg_TIMEOUT}" "${kit_arguments}")
endfunction()

# The kit's manifest without its commit (the kit's build adds the commit it saw), and the lists of
# what goes where in the kit: folder|file lines and folder|source folder lines
# (tests/kit/make_kit.cmake lays them out and packs them). Called once every test is registered.
function(write_test_kit_lists)
  get_property(lines GLOBAL PROPERTY KIT_MANIFEST)
  string(JOIN "\n" manifest ${lines})
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/test_kit/kit_tests.txt CONTENT "${manifest}\n")
  get_property(files GLOBAL PROPERTY KIT_FILES)
  get_property(folders GLOBAL PROPERTY KIT_FOLDERS)
  list(REMOVE_DUPLICATES files)
  list(REMOVE_DUPLICATES folders)
  string(JOIN "\n" contents ${files})
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/test_kit/kit_files.txt CONTENT "${contents}\n")
  string(JOIN "\n" contents ${folders})
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/test_kit/kit_folders.txt CONTENT "${contents}\n")
endfunction()

# add_test_kit_target(ZIP): the test_kit target, which lays out the kit and packs it as ZIP.
function(add_test_kit_target zip)
  write_test_kit_lists()
  add_custom_target(test_kit
    COMMAND ${CMAKE_COMMAND} -DLISTS=${CMAKE_BINARY_DIR}/test_kit -DSTAGING=${CMAKE_BINARY_DIR}/test_kit/kit
      -DZIP=${zip} -DFACTS=${CMAKE_BINARY_DIR}/release_facts.cmake -DOBJDUMP=${CMAKE_OBJDUMP}
      -P ${PROJECT_SOURCE_DIR}/tests/kit/make_kit.cmake
    VERBATIM)
  get_property(targets GLOBAL PROPERTY KIT_TARGETS)
  list(REMOVE_DUPLICATES targets)
  add_dependencies(test_kit release_facts ${targets})
endfunction()
