# SPDX-License-Identifier: MIT
# Fails if the disassembled library holds any fused multiply-add: results are
# defined as separately rounded products and sums.
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]*[ \t]v?fn?m(add|sub|addsub|subadd)[0-9]*[a-z]*[ \t][^\n]*" fused "${listing}")
list(LENGTH fused count)
if(count GREATER 0)
  list(SUBLIST fused 0 10 shown)
  string(REPLACE ";" "\n" shown "${shown}")
  message(FATAL_ERROR "${count} fused multiply-add instruction(s) in ${LIBRARY}, e.g.\n${shown}")
endif()
string(LENGTH "${listing}" size)
if(size LESS 10000)
  message(FATAL_ERROR "the disassembly of ${LIBRARY} is implausibly short")
endif()
message(STATUS "no fused multiply-add in ${LIBRARY}")
