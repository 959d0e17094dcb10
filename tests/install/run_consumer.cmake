# SPDX-License-Identifier: MIT
# Installs the built project into a scratch prefix, then
#  - configures, builds and runs a consumer project that finds the toolkit
#    with find_package, and builds the same consumer with pkg-config's flags;
#  - moves the install tree and plays a session with the installed hvsim
#    against the installed library.
#   cmake -DBUILD_DIR=... -DWORK=... -DSOURCE=... -DCXX=... -DFLAGS="..."
#         -DVERSION=x.y.z -DPLUGIN=libname -DSESSION=... -DPKG_CONFIG=... -P run_consumer.cmake
cmake_minimum_required(VERSION 3.21)
include(${CMAKE_CURRENT_LIST_DIR}/../support/run.cmake)

function(expect_output what)
  if(NOT output STREQUAL "${VERSION} sum 6\n")
    message(FATAL_ERROR "${what} printed '${output}', expected '${VERSION} sum 6'")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix)
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build
    -DCMAKE_PREFIX_PATH=${WORK}/prefix -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK}/build)
run("running the consumer" ${WORK}/build/consumer)
expect_output("the consumer")

# The tree is moved before anything else reads it: both the pkg-config file
# and hvsim must find their parts from where they are now.
file(RENAME ${WORK}/prefix ${WORK}/moved)
file(GLOB_RECURSE pc_files ${WORK}/moved/*/tissuesteward.pc)
if(NOT pc_files)
  message(FATAL_ERROR "no tissuesteward.pc was installed")
endif()
get_filename_component(pc_dir "${pc_files}" DIRECTORY)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  run("pkg-config" ${PKG_CONFIG} --cflags --libs tissuesteward)
  string(STRIP "${output}" pc_flags)
  separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
  separate_arguments(extra UNIX_COMMAND "${FLAGS}")
  run("pkg-config's version" ${PKG_CONFIG} --modversion tissuesteward)
  if(NOT output STREQUAL "${VERSION}\n")
    message(FATAL_ERROR "pkg-config reports version '${output}', expected ${VERSION}")
  endif()
  run("building with pkg-config's flags" ${CXX} -std=c++17 ${extra} ${SOURCE}/main.cpp ${pc_flags}
      -o ${WORK}/pc_consumer)
  get_filename_component(lib_dir "${pc_dir}" DIRECTORY)
  set(ENV{LD_LIBRARY_PATH} ${lib_dir})
  run("running the pkg-config consumer" ${WORK}/pc_consumer)
  expect_output("the pkg-config consumer")
endif()

file(GLOB_RECURSE plugin ${WORK}/moved/*/${PLUGIN})
run("the installed hvsim" ${WORK}/moved/bin/hvsim ${plugin} ${SESSION})
if(NOT output MATCHES "expectation\\(s\\) held, 0 failed")
  message(FATAL_ERROR "the installed hvsim printed:\n${output}")
endif()
