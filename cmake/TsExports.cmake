# SPDX-License-Identifier: MIT
# ts_export_only(target)
#
# Limits what a shared library exports to the names TsExportedNames.cmake
# reads from the sources: an exported-symbols list on Apple, a version script
# elsewhere. Visibility already hides the rest of our own code; the lists
# also keep a statically linked runtime's symbols (libc++, compiler-rt) out
# of the export table.
include(${CMAKE_CURRENT_LIST_DIR}/TsExportedNames.cmake)

function(ts_export_only target)
  ts_exported_names(${PROJECT_SOURCE_DIR})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TS_EXPORT_SOURCES})
  # ELF spelling: the symbol's name, or a glob over a routine's overloads.
  set(patterns ${TS_HOST_FUNCTIONS} ${TS_ENTRY_POINTS} ${TS_FRAME_SYMBOLS})
  foreach(name ${TS_ROUTINES})
    string(LENGTH ${name} length)
    list(APPEND patterns "_Z${length}${name}*")
  endforeach()
  if(TS_SANITIZE)
    list(APPEND patterns "__asan*" "__odr_asan*" "__ubsan*" "__sanitizer*")
  endif()

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
