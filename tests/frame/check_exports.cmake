# SPDX-License-Identifier: MIT
# Checks the library's exported symbols against what the sources say it
# exports (cmake/TsExportedNames.cmake): the entry points and the frame's C++
# functions as code, the host table's variables as data, and otherwise only
# toolkit routines; each of them at least once, and nothing else of ours.
# A Mach-O library (.dylib) is listed with `nm -gU`, and the leading
# underscore of its names is dropped.
#   cmake -DNM=nm -DLIBRARY=lib.so -P check_exports.cmake
cmake_minimum_required(VERSION 3.21)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/TsExportedNames.cmake)
ts_exported_names(${CMAKE_CURRENT_LIST_DIR}/../..)

set(mach_o FALSE)
if(LIBRARY MATCHES "\\.dylib$")
  set(mach_o TRUE)
  execute_process(COMMAND ${NM} -gU ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

set(code ${TS_ENTRY_POINTS} ${TS_FRAME_SYMBOLS})
set(problems "")
set(seen "")
set(routines_seen "")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line ${lines})
  if(NOT line MATCHES "^[0-9a-f]* ([A-Za-z]) (.+)$")
    continue()
  endif()
  set(kind ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  if(mach_o)
    string(SUBSTRING ${name} 1 -1 name)
  endif()
  if(name MATCHES "^__(odr_)?asan|^__ubsan|^__sanitizer")
    continue()  # sanitizer bookkeeping in instrumented builds
  endif()
  list(APPEND seen ${name})
  if(name IN_LIST code)
    if(NOT kind STREQUAL "T")
      list(APPEND problems "${name} is exported as '${kind}', not as code")
    endif()
  elseif(name IN_LIST TS_HOST_FUNCTIONS)
    if(NOT kind MATCHES "^[BD]$" AND NOT (mach_o AND kind STREQUAL "S"))  # S: Mach-O zero fill
      list(APPEND problems "table entry ${name} is exported as '${kind}', not as a variable")
    endif()
  else()
    # A toolkit routine: a global-namespace C++ name, _Z<length><name>...
    set(base "")
    if(name MATCHES "^_Z([0-9]+)(.*)$")
      string(SUBSTRING "${CMAKE_MATCH_2}" 0 ${CMAKE_MATCH_1} base)
    endif()
    if(base IN_LIST TS_ROUTINES)
      list(APPEND routines_seen ${base})
    else()
      list(APPEND problems "${name} is exported but is neither the frame's nor a toolkit routine")
    endif()
  endif()
endforeach()

foreach(name ${code} ${TS_HOST_FUNCTIONS})
  if(NOT name IN_LIST seen)
    list(APPEND problems "${name} is not exported")
  endif()
endforeach()
foreach(name ${TS_ROUTINES})
  if(NOT name IN_LIST routines_seen)
    list(APPEND problems "the toolkit routine ${name} is declared but not exported")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "exported symbols of ${LIBRARY}:\n  ${text}")
endif()
list(LENGTH seen exported)
message(STATUS "${exported} exported symbols, all accounted for")
