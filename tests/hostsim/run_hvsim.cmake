# SPDX-License-Identifier: MIT
# Runs hvsim and checks its exit status and, optionally, its output.
#   cmake -DHVSIM=... -DLIBRARY=... -DSESSION=... [-DOPTIONS="--api none --global"]
#         -DEXIT=N [-DMATCH=regex] -P run_hvsim.cmake
cmake_minimum_required(VERSION 3.20)
separate_arguments(options UNIX_COMMAND "${OPTIONS}")
execute_process(COMMAND ${HVSIM} ${options} ${LIBRARY} ${SESSION}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "hvsim exited with ${status}, expected ${EXIT}")
endif()
if(DEFINED MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "hvsim's output does not match: ${MATCH}")
endif()
