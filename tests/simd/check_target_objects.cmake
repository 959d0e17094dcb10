# SPDX-License-Identifier: MIT
# A target's kernel unit is compiled with wider instruction sets than the rest
# of the library. Any inline function it emits as a shared (weak) definition
# could be picked by the linker for every caller, putting, say, AVX-512 code
# on a scalar path. So each weak symbol it defines must belong to its own
# target (name its namespace ts::simd::<target>).
execute_process(COMMAND ${NM} -C --defined-only ${OBJECT}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${OBJECT}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(shared)
foreach(line ${lines})
  if(line MATCHES "^[0-9a-f]* [WVu] (.*)$")
    if(NOT CMAKE_MATCH_1 MATCHES "ts::simd::${TARGET}::")
      list(APPEND shared "${CMAKE_MATCH_1}")
    endif()
  endif()
endforeach()
if(shared)
  string(REPLACE ";" "\n  " shared "${shared}")
  message(FATAL_ERROR "the ${TARGET} kernels share inline definitions with other units:\n  ${shared}")
endif()
