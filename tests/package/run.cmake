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

# The installed tool runs as installed: no LD_LIBRARY_PATH, the library found
# through its RPATH.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
  ${prefix}/bin/itemtool sample-project ${WORK_DIR}/installed.serial.gz RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "the installed itemtool failed: ${rc}")
endif()

# A consumer without CMake: compile and run the example with pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/lib/pkgconfig
  ${PKG_CONFIG} --cflags --libs itemlib OUTPUT_VARIABLE pc OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "pkg-config does not know itemlib: ${rc}")
endif()
separate_arguments(pc UNIX_COMMAND "${pc}")
separate_arguments(flags UNIX_COMMAND "${flags}")
execute_process(COMMAND ${CXX} -std=c++17 ${flags} ${SOURCE_DIR}/main.cpp ${pc}
  -Wl,-rpath,${prefix}/lib -o ${WORK_DIR}/example-pc RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "compiling with pkg-config's flags failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/example-pc ${WORK_DIR}/example-pc.serial.gz RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "the example built with pkg-config failed: ${rc}")
endif()
message(STATUS "the installed itemtool and a pkg-config build ran")
