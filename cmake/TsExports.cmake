# SPDX-License-Identifier: MIT
# ts_export_only(target LIST file HOST_NAMES file)
#
# Limits what a shared library exports to the names in LIST (see
# cmake/exports.txt) and HOST_NAMES (one C name per line): an exported-symbols
# list on Apple, a version script elsewhere. Visibility already hides the
# rest of our own code; the lists also keep a statically linked runtime's
# symbols (libc++, compiler-rt) out of the export table.
function(ts_export_only target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LIST;HOST_NAMES" "")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${arg_LIST} ${arg_HOST_NAMES})
  file(STRINGS ${arg_LIST} entries REGEX "^c(\\+\\+)? ")
  file(STRINGS ${arg_HOST_NAMES} host_names)
  set(patterns)  # ELF spelling: the symbol's name, or a glob over C++ manglings
  foreach(name ${host_names})
    list(APPEND patterns ${name})
  endforeach()
  if(TS_SANITIZE)
    list(APPEND patterns "__asan*" "__odr_asan*" "__ubsan*" "__sanitizer*")
  endif()
  foreach(entry ${entries})
    string(REGEX MATCH "^(c|c\\+\\+) +([A-Za-z_][A-Za-z0-9_]*)$" matched "${entry}")
    if(NOT matched)
      message(FATAL_ERROR "${arg_LIST}: cannot read '${entry}'")
    endif()
    set(name ${CMAKE_MATCH_2})
    if(CMAKE_MATCH_1 STREQUAL "c")
      list(APPEND patterns ${name})
    else()
      string(LENGTH ${name} length)
      list(APPEND patterns "_Z${length}${name}*")
    endif()
  endforeach()

  if(APPLE)
    # Mach-O names carry a leading underscore.
    list(TRANSFORM patterns PREPEND "_")
    list(JOIN patterns "\n" text)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports)
    file(CONFIGURE OUTPUT ${file} CONTENT "${text}\n")
    target_link_options(${target} PRIVATE "LINKER:-exported_symbols_list,${file}")
  else()
    list(JOIN patterns ";\n    " text)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
    file(CONFIGURE OUTPUT ${file} CONTENT "{\n  global:\n    ${text};\n  local:\n    *;\n};\n")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${file}")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
endfunction()
