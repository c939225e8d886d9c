# Runs a corpus replay for CTest with TMPDIR at an empty scratch folder, so
# that whatever the replay leaves in the temporary directory is seen.
#   cmake -DREPLAY=<program> -DCORPUS=<folder> -DSCRATCH=<folder>
#         [-DEMPTY_CORPUS=ON] [-DFAILURE=<regex>] -P RunReplay.cmake
# Without FAILURE the replay must end with 0 and print "replayed N inputs",
# N being the number of files in CORPUS. With FAILURE it must end with 1
# and print one line, matching FAILURE, on standard error. EMPTY_CORPUS makes
# CORPUS an empty folder first. Either way the scratch folder must be left
# empty; it is removed when the check passes.
foreach(variable REPLAY CORPUS SCRATCH)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "RunReplay.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
if(EMPTY_CORPUS)
  file(REMOVE_RECURSE "${CORPUS}")
  file(MAKE_DIRECTORY "${CORPUS}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E env "TMPDIR=${SCRATCH}" "${REPLAY}" "${CORPUS}"
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                ECHO_OUTPUT_VARIABLE ECHO_ERROR_VARIABLE)

set(problems "")
if(DEFINED FAILURE)
  if(NOT code EQUAL 1)
    list(APPEND problems "the replay ended with ${code}, not 1")
  endif()
  if(NOT err MATCHES "^[^\n]*\n$")
    list(APPEND problems "standard error is not one line")
  else()
    string(REGEX REPLACE "\n$" "" line "${err}")
    if(NOT line MATCHES "${FAILURE}")
      list(APPEND problems "standard error does not match '${FAILURE}'")
    endif()
  endif()
else()
  file(GLOB inputs LIST_DIRECTORIES false "${CORPUS}/*")
  list(LENGTH inputs count)
  if(NOT code EQUAL 0)
    list(APPEND problems "the replay ended with ${code}")
  endif()
  if(NOT out MATCHES "(^|\n)replayed ${count} inputs\n$")
    list(APPEND problems "the replay does not end by saying it replayed the ${count} inputs of the corpus")
  endif()
endif()

file(GLOB left LIST_DIRECTORIES true "${SCRATCH}/*")
if(left)
  list(APPEND problems "left in the temporary directory: ${left}")
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "replay check failed:\n  ${text}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
