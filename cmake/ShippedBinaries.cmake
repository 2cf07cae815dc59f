# A shipped binary may import only DLLs that every Windows installation has, plus those named.
set(WINDOWS_SYSTEM_DLLS kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll
  comctl32.dll comdlg32.dll winmm.dll ole32.dll oleaut32.dll)

function(check_shipped_imports target)
  add_test(NAME ${target}.ImportsOnlySystemDlls
    COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/check_imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
      ${WINDOWS_SYSTEM_DLLS} ${ARGN})
endfunction()
