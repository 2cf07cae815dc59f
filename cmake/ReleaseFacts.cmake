# What a release says about the sources it was built from, written to OUTPUT as a CMake script
# (RELEASE_COMMIT, RELEASE_TREE_CHANGED) and rewritten only when it changes. Run by every build
# (the release_facts target), so packing needs no git: the commit is the one the build saw.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -P ReleaseFacts.cmake
execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --show-toplevel HEAD
  RESULT_VARIABLE failed OUTPUT_VARIABLE answer ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "\n" ";" answer "${answer}")
file(REAL_PATH ${SOURCE_DIR} source)
set(top "")
if(NOT failed)
  list(GET answer 0 top)
endif()
if(NOT top STREQUAL source)  # no checkout, or the sources lie inside another one
  set(commit "unknown: the sources are not a git checkout")
  set(changed FALSE)
else()
  list(GET answer 1 commit)
  # Builds run this beside whatever else uses the checkout: it takes no lock on the index.
  execute_process(COMMAND git --no-optional-locks -C ${SOURCE_DIR} status --porcelain
    OUTPUT_VARIABLE changes ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(changes STREQUAL "")
    set(changed FALSE)
  else()
    set(changed TRUE)
  endif()
endif()
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "set(RELEASE_COMMIT \"${commit}\")\nset(RELEASE_TREE_CHANGED ${changed})\n")
