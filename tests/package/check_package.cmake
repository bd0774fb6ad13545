# Installs the built project into a fresh prefix, then configures, builds and
# runs the consumer project against it twice: found with find_package and
# found with pkg-config.
#
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DCONSUMER_DIR=... -DVERSION=X.Y.Z
#       -DLIBDIR=lib -DGENERATOR=... [-DCONFIG=...] [-DLINK_FLAGS=...] -P check_package.cmake

function(run_step what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${output}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(config_option)
if(CONFIG)
  set(config_option --config ${CONFIG})
endif()
run_step("installing" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_option})

# Nothing but the fresh prefix may supply the library.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
unset(ENV{PKG_CONFIG_LIBDIR})
unset(ENV{CMAKE_PREFIX_PATH})

foreach(find_with package pkg-config)
  set(build ${WORK_DIR}/${find_with})
  run_step("configuring the consumer with ${find_with}"
    ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    -DBPREP2_FIND_WITH=${find_with} -DBPREP2_EXPECTED_VERSION=${VERSION}
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
  run_step("building the consumer with ${find_with}" ${CMAKE_COMMAND} --build ${build} --config Release)
  file(GLOB_RECURSE consumer ${build}/consumer ${build}/consumer.exe)
  if(NOT consumer)
    message(FATAL_ERROR "the consumer built with ${find_with} is not in ${build}")
  endif()
  run_step("running the consumer built with ${find_with}" ${consumer} ${VERSION})
endforeach()
