# SPDX-License-Identifier: MIT
# ts_exported_names(ROOT)
#
# Reads what the library exports, from the project tree at ROOT, into the
# caller's variables:
#   TS_HOST_FUNCTIONS  the host table's variables, in binding order
#                      (src/frame/host_functions.def)
#   TS_ENTRY_POINTS    the plug-in's C entry points (src/frame/exports.def)
#   TS_FRAME_SYMBOLS   the symbols of the frame's C++ functions (the same)
#   TS_ROUTINES        the toolkit's routines: every other function that a
#                      header in include/tissuesteward declares TS_API. They
#                      live in the global namespace with C++ linkage, so each
#                      is exported as every symbol starting _Z<length><name>.
#   TS_EXPORT_SOURCES  the files read, for re-running when they change
# Shared by the library's export list (TsExports.cmake) and its check
# (tests/frame/check_exports.cmake), which runs as a script.
function(ts_exported_names root)
  set(host_list ${root}/src/frame/host_functions.def)
  set(frame_list ${root}/src/frame/exports.def)
  file(GLOB headers ${root}/include/tissuesteward/*.h)

  file(STRINGS ${host_list} rows REGEX "^TS_HOST_FUNCTION\\(")
  set(host_functions)
  foreach(row ${rows})
    if(NOT row MATCHES "^TS_HOST_FUNCTION\\(([A-Za-z_][A-Za-z0-9_]*),")
      message(FATAL_ERROR "${host_list}: cannot read '${row}'")
    endif()
    list(APPEND host_functions ${CMAKE_MATCH_1})
  endforeach()

  file(STRINGS ${frame_list} rows REGEX "^TS_(ENTRY_POINT|FRAME_FUNCTION)\\(")
  set(entry_points)
  set(frame_names)
  set(frame_symbols)
  foreach(row ${rows})
    if(row MATCHES "^TS_ENTRY_POINT\\(([A-Za-z_][A-Za-z0-9_]*)\\)$")
      list(APPEND entry_points ${CMAKE_MATCH_1})
    elseif(row MATCHES "^TS_FRAME_FUNCTION\\(([A-Za-z_][A-Za-z0-9_]*), \"(_Z[A-Za-z0-9_]+)\"\\)$")
      list(APPEND frame_names ${CMAKE_MATCH_1})
      list(APPEND frame_symbols ${CMAKE_MATCH_2})
    else()
      message(FATAL_ERROR "${frame_list}: cannot read '${row}'")
    endif()
  endforeach()

  # A declaration reads "[[attributes]] TS_API <type> name(": the name is the
  # identifier just before the first parenthesis. Preprocessor lines (the
  # attribute's own definition) and comments are left out first.
  set(routines)
  foreach(header ${headers})
    file(READ ${header} text)
    string(REGEX REPLACE "//[^\n]*" "" text "${text}")
    string(REGEX REPLACE "(^|\n)[ \t]*#[^\n]*" "\n" text "${text}")
    string(REGEX MATCHALL "TS_API[^;(]*[^A-Za-z0-9_][A-Za-z_][A-Za-z0-9_]*\\(" declarations "${text}")
    foreach(declaration ${declarations})
      string(REGEX MATCH "([A-Za-z_][A-Za-z0-9_]*)\\($" name "${declaration}")
      set(name ${CMAKE_MATCH_1})
      if(NOT name IN_LIST entry_points AND NOT name IN_LIST frame_names)
        list(APPEND routines ${name})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES routines)
  list(SORT routines)

  set(TS_HOST_FUNCTIONS ${host_functions} PARENT_SCOPE)
  set(TS_ENTRY_POINTS ${entry_points} PARENT_SCOPE)
  set(TS_FRAME_SYMBOLS ${frame_symbols} PARENT_SCOPE)
  set(TS_ROUTINES ${routines} PARENT_SCOPE)
  set(TS_EXPORT_SOURCES ${host_list} ${frame_list} ${headers} PARENT_SCOPE)
endfunction()
