# SPDX-License-Identifier: MIT
# Checks that the library takes no exp, log, hypot or sin from the C library
# (the toolkit rounds its own; the FFT takes its sins from tables) and needs
# no compiler run-time helper library.
#   cmake -DNM=nm -DLIBRARY=lib.so -P check_imports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${NM} -D --undefined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[ \t](expf?|logf?|log1pf?|expm1f?|hypotf?|powf?|sinf?|cosf?|sincosf?|__[a-z]+ti[0-9a-z]*)(@[^\n]*)?\n" found "${listing}")
if(found)
  string(REPLACE "\n" "" found "${found}")
  message(FATAL_ERROR "the library imports:${found}")
endif()
