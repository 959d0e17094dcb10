# Installs the built library into a scratch prefix, then configures, builds
# and runs a consumer project that finds it with find_package.
#   cmake -DBUILD_DIR=... -DWORK=... -DSOURCE=... -DCXX=... -DFLAGS="..." -P run_consumer.cmake
cmake_minimum_required(VERSION 3.20)
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix)
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build
    -DCMAKE_PREFIX_PATH=${WORK}/prefix -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK}/build)
run("running the consumer" ${WORK}/build/consumer)
if(NOT output STREQUAL "sum 6\n")
  message(FATAL_ERROR "the consumer printed '${output}', expected 'sum 6'")
endif()
