# SPDX-License-Identifier: MIT
# Configures, builds and installs tests/subproject/parent, which includes the
# toolkit with add_subdirectory, on a machine without a C compiler, GoogleTest
# or the benchmark packages as far as CMake can tell. The parent must keep its
# empty build type and its cache free of install directories, get no tests
# and no install rules of ours, and link the library.
#   cmake -DTS_SOURCE=... -DWORK=... -DCXX=... -DGENERATOR=... -DVERSION=... -P run_parent.cmake
cmake_minimum_required(VERSION 3.21)
include(${CMAKE_CURRENT_LIST_DIR}/../support/run.cmake)

file(REMOVE_RECURSE ${WORK})
set(hidden)
foreach(package GTest benchmark Eigen3 Boost)
  list(APPEND hidden -DCMAKE_DISABLE_FIND_PACKAGE_${package}=TRUE)
endforeach()
run("configuring the parent" ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/parent -B ${WORK}/build
    -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_C_COMPILER=/nonexistent/cc
    -DTS_SOURCE=${TS_SOURCE} ${hidden})

file(STRINGS ${WORK}/build/CMakeCache.txt build_type REGEX "^CMAKE_BUILD_TYPE:")
if(NOT build_type MATCHES "^CMAKE_BUILD_TYPE:[A-Z]+=$")
  message(FATAL_ERROR "the parent's build type was changed: ${build_type}")
endif()

file(STRINGS ${WORK}/build/CMakeCache.txt install_dirs REGEX "^CMAKE_INSTALL_[A-Z]*DIR:")
if(install_dirs)
  message(FATAL_ERROR "the parent's cache gained install directories: ${install_dirs}")
endif()

run("building the parent" ${CMAKE_COMMAND} --build ${WORK}/build --target app hvsim)
run("running the parent's app" ${WORK}/build/app)
if(NOT output STREQUAL "${VERSION} sum 6\n")
  message(FATAL_ERROR "the parent's app printed '${output}'")
endif()
run("building the parent's bench" ${CMAKE_COMMAND} --build ${WORK}/build --target bench)
if(NOT output MATCHES "parent target bench")
  message(FATAL_ERROR "the parent's bench target did not run its own command:\n${output}")
endif()

run("installing the parent" ${CMAKE_COMMAND} --install ${WORK}/build --prefix ${WORK}/prefix)
file(GLOB_RECURSE installed RELATIVE ${WORK}/prefix ${WORK}/prefix/*)
if(NOT installed STREQUAL "bin/app")
  message(FATAL_ERROR "installing the parent installed: ${installed}")
endif()
