# SPDX-License-Identifier: MIT
# Shared libraries of the Zig cross-build are linked by ld64.lld directly
# (see cmake/zig-macos-x86_64.cmake).
list(JOIN TS_MACOS_STUBS " " stubs)
set(CMAKE_CXX_CREATE_SHARED_LIBRARY
  "${TS_LD64} -dylib -arch x86_64 -platform_version macos ${TS_MACOS_MIN} ${TS_MACOS_MIN} -dead_strip_dylibs <LINK_FLAGS> <OBJECTS> -o <TARGET> <SONAME_FLAG> <TARGET_INSTALLNAME_DIR><TARGET_SONAME> <LINK_LIBRARIES> ${stubs}")
# Link options reach ld64.lld as they are, not behind -Xlinker.
set(CMAKE_CXX_LINKER_WRAPPER_FLAG " ")
