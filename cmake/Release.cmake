# The release: one zip of what ships in the game's folder beside the game, at the zip's top, with
# SHA256SUMS over those files and RELEASE.txt naming the project's version and the commit.
# tools/release.sh makes it: it builds the shipped targets and release_facts, then runs cpack,
# which stages the files that ship_in_game_folder installs and runs ReleaseFiles.cmake over them
# (signing, SHA256SUMS, RELEASE.txt) before it packs them.

# The commit the build saw, for RELEASE.txt: found again by every build (ReleaseFacts.cmake).
set(release_facts ${CMAKE_BINARY_DIR}/release_facts.cmake)
add_custom_target(release_facts ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${release_facts}
    -P ${CMAKE_CURRENT_LIST_DIR}/ReleaseFacts.cmake
  BYPRODUCTS ${release_facts}
  VERBATIM)

set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReleaseFiles.cmake)
set(CPACK_RELEASE_FACTS ${release_facts})
# cpack stages the files as built, running the build's install script itself: through the build
# tool it would first bring the whole build folder up to date, every test program with it, which
# the release does not need and the emulated machine (which gets the built files only) cannot do.
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALL_SCRIPTS ${CMAKE_BINARY_DIR}/cmake_install.cmake)
include(CPack)
