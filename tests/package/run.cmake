# Installs the build into WORK_DIR/prefix, then configures, builds and runs
# the example project in SOURCE_DIR against it, as a user of the package would.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=address,undefined")
endif()
if(FUZZ)
  set(flags "${flags} -fsanitize=fuzzer-no-link")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
  "-DCMAKE_EXE_LINKER_FLAGS=${flags}" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configure of the example failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "build of the example failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/example ${WORK_DIR}/example-project.serial.gz
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "the example failed: ${rc}")
endif()
message(STATUS "the example built against the installed package and ran")
