# SPDX-License-Identifier: MIT
# Checks the hardening of the built library.
#   cmake -DLIBRARY=lib -DFORTIFY=ON|OFF -DCET=ON|OFF [-DREADELF=readelf -DOBJDUMP=objdump]
#         [-DOTOOL=otool -DNM=nm] -P check_hardening.cmake
# ELF: full RELRO (a GNU_RELRO segment and BIND_NOW), a stack segment without
# execute permission, stack canaries (__stack_chk_fail), checked string and
# memory calls (__*_chk) when FORTIFY is on, an endbr64 at the entry points
# when CET is on, and stack clash probes in the one frame larger than a page
# (the script request handler). Mach-O: canaries and binding at load.
cmake_minimum_required(VERSION 3.20)

set(problems "")
function(run out)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
# Notes `what` as missing unless the text in `variable` matches `regex`.
function(require variable regex what)
  if(NOT "${${variable}}" MATCHES "${regex}")
    set(problems "${problems}  ${what}\n" PARENT_SCOPE)
  endif()
endfunction()

if(DEFINED OTOOL)
  run(header ${OTOOL} -hv ${LIBRARY})
  run(undefined ${NM} -u ${LIBRARY})
  require(header "BINDATLOAD" "not bound at load (MH_BINDATLOAD)")
  require(undefined "___stack_chk_fail" "no stack canaries (___stack_chk_fail)")
else()
  run(segments ${READELF} -lW ${LIBRARY})
  run(dynamic ${READELF} -dW ${LIBRARY})
  run(symbols ${READELF} --dyn-syms -W ${LIBRARY})
  require(segments "GNU_RELRO" "no GNU_RELRO segment")
  require(dynamic "BIND_NOW|Flags:[^\n]* NOW" "no BIND_NOW: RELRO is partial")
  require(segments "GNU_STACK[^\n]* RW  " "the stack is executable or unmarked")
  require(symbols " UND __stack_chk_fail" "no stack canaries (__stack_chk_fail)")
  if(FORTIFY)
    require(symbols " UND __[a-z]+_chk@" "no checked calls (_FORTIFY_SOURCE)")
  endif()
  run(code ${OBJDUMP} -d --no-show-raw-insn ${LIBRARY})
  if(CET)
    foreach(entry createPlugin getPluginName _Z5gammqff)
      require(code "<${entry}>:\n *[0-9a-f]+:[ \t]*endbr64" "${entry} does not start with endbr64")
    endforeach()
  endif()
  # GCC probes with "orq $0x0,(%rsp)", clang with "movq $0x0,(%rsp)".
  require(code "(or|mov)q? +\\$0x0,\\(%rsp\\)" "no stack clash probes (-fstack-clash-protection)")
endif()

if(problems)
  message(FATAL_ERROR "${LIBRARY} lacks hardening:\n${problems}")
endif()
message(STATUS "${LIBRARY}: hardening in place")
