# A shipped binary may import only DLLs that every Windows installation has, plus those named.
set(WINDOWS_SYSTEM_DLLS kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll
  comctl32.dll comdlg32.dll winmm.dll ole32.dll oleaut32.dll)

function(check_shipped_imports target)
  add_test(NAME ${target}.ImportsOnlySystemDlls
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
      ${WINDOWS_SYSTEM_DLLS} ${ARGN})
endfunction()

# What each product may weigh, in bytes: players download both with every patch. The launcher's
# budget is its background picture, read from the file, plus its own allowance.
file(SIZE ${PROJECT_SOURCE_DIR}/launcher/art/background.bmp starter_picture_bytes)
set(SHIPPED_SIZE_BUDGET_kelvo 102400)                                   # 100 KiB
math(EXPR SHIPPED_SIZE_BUDGET_Starter "${starter_picture_bytes} + 153600")  # the picture + 150 KiB

function(check_shipped_size target)
  add_test(NAME ${target}.WithinSizeBudget
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_size.sh $<TARGET_FILE:${target}>
      ${SHIPPED_SIZE_BUDGET_${target}})
endfunction()

# ship_in_game_folder(target [IMPORTS dll...]): the target is one of the files that ship in the
# game's folder: its imports (system DLLs plus those named) and its size are checked, the release
# holds it at its top (install), and it is listed in shipped_binaries.txt in the build folder, one
# "target file" a line, for the tools that rebuild, sign or check what ships.
function(ship_in_game_folder target)
  cmake_parse_arguments(arg "" "" "IMPORTS" ${ARGN})
  check_shipped_imports(${target} ${arg_IMPORTS})
  check_shipped_size(${target})
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION .)
  set_property(GLOBAL APPEND PROPERTY SHIPPED_BINARIES "${target} $<TARGET_FILE:${target}>")
endfunction()

# Writes shipped_binaries.txt; called once every target is defined.
function(list_shipped_binaries)
  get_property(entries GLOBAL PROPERTY SHIPPED_BINARIES)
  list(JOIN entries "\n" text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/shipped_binaries.txt CONTENT "${text}\n")
endfunction()
