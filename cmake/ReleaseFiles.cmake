# Run by cpack over the staged release, before it packs it (CPACK_PRE_BUILD_SCRIPTS). When given a
# certificate and its key, it signs every shipped file (Authenticode, with osslsigncode); then it
# writes SHA256SUMS over the shipped files and RELEASE.txt with the project's version and commit.
#   cpack ... [-D CPACK_RELEASE_CERTIFICATE=cert.pem -D CPACK_RELEASE_KEY=key.pem]
set(staging ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB shipped RELATIVE ${staging} ${staging}/*)
if(NOT shipped)
  message(FATAL_ERROR "release: nothing was staged in ${staging}")
endif()
if(NOT EXISTS ${CPACK_RELEASE_FACTS})
  message(FATAL_ERROR "release: ${CPACK_RELEASE_FACTS} is missing: build the release_facts target first")
endif()
include(${CPACK_RELEASE_FACTS})

set(signature "not signed")
if(DEFINED CPACK_RELEASE_CERTIFICATE OR DEFINED CPACK_RELEASE_KEY)
  if(NOT EXISTS "${CPACK_RELEASE_CERTIFICATE}" OR NOT EXISTS "${CPACK_RELEASE_KEY}")
    message(FATAL_ERROR "release: signing needs a certificate and its key, both files: \"${CPACK_RELEASE_CERTIFICATE}\", \"${CPACK_RELEASE_KEY}\"")
  endif()
  find_program(osslsigncode osslsigncode REQUIRED)
  foreach(name IN LISTS shipped)
    set(file ${staging}/${name})
    execute_process(COMMAND ${osslsigncode} sign -certs ${CPACK_RELEASE_CERTIFICATE} -key ${CPACK_RELEASE_KEY}
        -h sha256 -in ${file} -out ${file}.signed
      RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(failed)
      message(FATAL_ERROR "release: signing ${name} failed:\n${output}")
    endif()
    file(RENAME ${file}.signed ${file})
  endforeach()
  list(JOIN shipped " " names)
  set(signature "signed (Authenticode): ${names}")
endif()

set(sums "")
foreach(name IN LISTS shipped)
  file(SHA256 ${staging}/${name} sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${staging}/SHA256SUMS "${sums}")

set(text "${CPACK_PACKAGE_NAME} ${CPACK_PACKAGE_VERSION}\ncommit ${RELEASE_COMMIT}\n")
if(RELEASE_TREE_CHANGED)
  string(APPEND text "built with changes not committed\n")
endif()
string(APPEND text "${signature}\n")
file(WRITE ${staging}/RELEASE.txt "${text}")
