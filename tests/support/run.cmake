# SPDX-License-Identifier: MIT
# run(WHAT command...): runs a command from a CMake script, ends the script
# with WHAT, the status and everything printed if it fails, and leaves its
# standard output in `output`.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()
