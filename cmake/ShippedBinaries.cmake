# A shipped binary may import only DLLs that every Windows installation has, plus those named.
set(WINDOWS_SYSTEM_DLLS kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll
  comctl32.dll comdlg32.dll winmm.dll ole32.dll oleaut32.dll)

# add_imports_check(test binary [dll...]): the test fails when the binary imports other DLLs.
function(add_imports_check test binary)
  add_test(NAME ${test}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_imports.sh ${CMAKE_OBJDUMP} ${binary}
      ${WINDOWS_SYSTEM_DLLS} ${ARGN})
  kit_leaves_out("reads the built file with Linux tools (objdump)" ${test})
endfunction()

function(check_shipped_imports target)
  add_imports_check(${target}.ImportsOnlySystemDlls $<TARGET_FILE:${target}> ${ARGN})
endfunction()

# What each product may weigh, in bytes: players download both with every patch. The launcher's
# budget is its background picture, read from the file, plus its own allowance. A signed file
# counts its signature too.
file(SIZE ${PROJECT_SOURCE_DIR}/launcher/art/background.bmp starter_picture_bytes)
set(SHIPPED_SIZE_BUDGET_kelvo 102400)                                   # 100 KiB
math(EXPR SHIPPED_SIZE_BUDGET_Starter "${starter_picture_bytes} + 153600")  # the picture + 150 KiB

# add_size_check(test binary target): the test fails when the binary weighs more than the
# target's budget.
function(add_size_check test binary target)
  add_test(NAME ${test}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_size.sh ${binary} ${SHIPPED_SIZE_BUDGET_${target}})
  kit_leaves_out("checks the built file's size where it was built" ${test})
endfunction()

# ship_in_game_folder(target [IMPORTS dll...]): the target is one of the files that ship in the
# game's folder: its imports (system DLLs plus those named), its size and that it carries no link
# time stamp are checked, the release holds it at its top (install), and it is listed in
# shipped_binaries.txt in the build folder, one "target file" a line, for the tools that rebuild,
# sign or check what ships.
function(ship_in_game_folder target)
  cmake_parse_arguments(arg "" "" "IMPORTS" ${ARGN})
  check_shipped_imports(${target} ${arg_IMPORTS})
  add_size_check(${target}.WithinSizeBudget $<TARGET_FILE:${target}> ${target})
  add_test(NAME ${target}.CarriesNoTimeStamp
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_no_time_stamp.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>)
  kit_leaves_out("reads the built file with Linux tools (objdump)" ${target}.CarriesNoTimeStamp)
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION .)
  set_target_properties(${target} PROPERTIES SHIPPED_IMPORTS "${arg_IMPORTS}")
  set_property(GLOBAL APPEND PROPERTY SHIPPED_TARGETS ${target})
endfunction()

# check_shipped_files_in(folder name fixture): the same import and size checks over the shipped
# files as they lie in folder (a release unpacked by the fixture's setup), named
# <target>.<name>.ImportsOnlySystemDlls and <target>.<name>.WithinSizeBudget.
function(check_shipped_files_in folder name fixture)
  get_property(targets GLOBAL PROPERTY SHIPPED_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(imports ${target} SHIPPED_IMPORTS)
    set(file ${folder}/$<TARGET_FILE_NAME:${target}>)
    add_imports_check(${target}.${name}.ImportsOnlySystemDlls ${file} ${imports})
    add_size_check(${target}.${name}.WithinSizeBudget ${file} ${target})
    set_tests_properties(${target}.${name}.ImportsOnlySystemDlls ${target}.${name}.WithinSizeBudget
      PROPERTIES FIXTURES_REQUIRED ${fixture})
  endforeach()
endfunction()

# Writes shipped_binaries.txt; called once every target is defined.
function(list_shipped_binaries)
  get_property(targets GLOBAL PROPERTY SHIPPED_TARGETS)
  set(text "")
  foreach(target IN LISTS targets)
    string(APPEND text "${target} $<TARGET_FILE:${target}>\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/shipped_binaries.txt CONTENT "${text}")
endfunction()
