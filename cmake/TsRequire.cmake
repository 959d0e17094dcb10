# SPDX-License-Identifier: MIT
# ts_require(OPTION PACKAGES name... LIBRARIES name...)
#
# Finds what an optional part of the build needs. Anything missing ends the
# configuration with one message naming the option and every missing package,
# instead of a find_package error deep inside a subdirectory.
# Found libraries are left in TS_<NAME>_LIB (upper case).
function(ts_require option)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PACKAGES;LIBRARIES")
  set(missing)
  foreach(package ${arg_PACKAGES})
    # "Name" or "Name:version:extra find_package arguments"
    string(REPLACE ":" ";" words ${package})
    list(POP_FRONT words name)
    find_package(${name} ${words} QUIET)
    if(NOT ${name}_FOUND)
      list(APPEND missing ${name})
    endif()
  endforeach()
  foreach(library ${arg_LIBRARIES})
    string(TOUPPER ${library} upper)
    find_library(TS_${upper}_LIB ${library})
    if(NOT TS_${upper}_LIB)
      list(APPEND missing "lib${library}")
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " names)
    message(FATAL_ERROR "${option} is ON but these packages were not found: ${names}. "
      "Install them (tools/install-deps.sh on Debian) or configure with -D${option}=OFF.")
  endif()
endfunction()
