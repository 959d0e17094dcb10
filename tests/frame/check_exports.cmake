# SPDX-License-Identifier: MIT
# Checks the library's exported symbols: the seven entry points, the 184
# host table variables, InitHVAccess and checkVersionGreaterEqualVersion,
# and otherwise only toolkit routines (global-namespace names declared in a
# toolkit header). Nothing of the frame's internals may leak out.
# A Mach-O library (.dylib) is listed with `nm -gU`, and the leading
# underscore of its names is dropped.
#   cmake -DNM=nm -DLIBRARY=lib.so -DNAMES=host_functions.txt -DINCLUDE=include/tissuesteward -P
cmake_minimum_required(VERSION 3.21)
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

set(entry_points getPluginName getPluginDescription getAuthor getHelpFile getPluginVersion
    getGUIScript createPlugin _Z12InitHVAccessv _Z31checkVersionGreaterEqualVersioniiiiii)
file(STRINGS ${NAMES} table)
set(frame_headers entry_points.h export.h host_api.h host_table.h plugin_interface.h version.h)
file(GLOB headers ${INCLUDE}/*.h)
set(toolkit_declarations "")
foreach(header ${headers})
  get_filename_component(file ${header} NAME)
  if(NOT file IN_LIST frame_headers)
    file(READ ${header} text)
    string(APPEND toolkit_declarations "${text}")
  endif()
endforeach()

set(problems "")
set(seen "")
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
  if(name IN_LIST entry_points)
    if(NOT kind STREQUAL "T")
      list(APPEND problems "${name} is exported as '${kind}', not as code")
    endif()
  elseif(name IN_LIST table)
    if(NOT kind MATCHES "^[BD]$" AND NOT (mach_o AND kind STREQUAL "S"))  # S: Mach-O zero fill
      list(APPEND problems "table entry ${name} is exported as '${kind}', not as a variable")
    endif()
  else()
    # A toolkit routine: a global-namespace name (_Z<length><name>...) or a
    # plain one, declared in a toolkit header.
    set(base ${name})
    if(name MATCHES "^_Z([0-9]+)(.*)$")
      string(SUBSTRING "${CMAKE_MATCH_2}" 0 ${CMAKE_MATCH_1} base)
    endif()
    if(base MATCHES "^_" OR NOT toolkit_declarations MATCHES "[^A-Za-z0-9_]${base}[^A-Za-z0-9_]")
      list(APPEND problems "${name} is exported but is neither the frame's nor a toolkit routine")
    endif()
  endif()
endforeach()

foreach(name ${entry_points} ${table})
  if(NOT name IN_LIST seen)
    list(APPEND problems "${name} is not exported")
  endif()
endforeach()
list(LENGTH table count)
if(NOT count EQUAL 184)
  list(APPEND problems "${NAMES} lists ${count} table entries, not 184")
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "exported symbols of ${LIBRARY}:\n  ${text}")
endif()
list(LENGTH seen exported)
message(STATUS "${exported} exported symbols, all accounted for")
