# How the tools name the Windows machine that the toolchain builds for. Every rule that depends on
# it reads these, so the 32-bit and the 64-bit lane differ here only.
#   WINDOWS_DLLTOOL_MACHINE  dlltool's -m
#   WINDOWS_LINK_MACHINE     lld-link's /machine:
#   WINDOWS_MSVC_TARGET      clang's --target for Microsoft's ABI
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(WINDOWS_DLLTOOL_MACHINE i386)
  set(WINDOWS_LINK_MACHINE x86)
  set(WINDOWS_MSVC_TARGET i686-pc-windows-msvc)
elseif(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WINDOWS_DLLTOOL_MACHINE i386:x86-64)
  set(WINDOWS_LINK_MACHINE x64)
  set(WINDOWS_MSVC_TARGET x86_64-pc-windows-msvc)
else()
  message(FATAL_ERROR "No Windows machine known for processor \"${CMAKE_SYSTEM_PROCESSOR}\"")
endif()

if(NOT CMAKE_OBJDUMP)
  message(FATAL_ERROR "No objdump for ${CMAKE_SYSTEM_PROCESSOR} Windows binaries (Debian package binutils-mingw-w64)")
endif()
if(NOT CMAKE_DLLTOOL)
  message(FATAL_ERROR "No dlltool for ${CMAKE_SYSTEM_PROCESSOR} Windows binaries (Debian package binutils-mingw-w64)")
endif()
