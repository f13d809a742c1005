# Installs the build into a fresh prefix, then builds the consumer project against it twice: with
# find_package(quvex CONFIG) and with pkg-config (when there is one), and runs both. Given a
# TOOLCHAIN (a Windows cross build), the consumer is cross-built with it and run next to the
# installed DLLs by the EMULATOR; pkg-config is not tried there.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}")
  endif()
endfunction()

set(config_option "")
if(CONFIG)
  set(config_option --config ${CONFIG})
endif()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_option})

# A library built with sanitizers needs their runtimes first in the program.
set(sanitize_flags "")
if(SANITIZE)
  set(sanitize_flags -fsanitize=${SANITIZE})
endif()

# The package, as a machine builder's project uses it.
if(TOOLCHAIN)
  run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_PREFIX_PATH=${prefix}
      -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -Dquvex_DIR=${prefix}/lib/cmake/quvex "-DCMAKE_EXE_LINKER_FLAGS=-static")
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
  file(GLOB dlls ${prefix}/bin/*.dll)
  file(COPY ${dlls} DESTINATION ${WORK_DIR}/cmake-build)
  separate_arguments(emulator NATIVE_COMMAND "${EMULATOR}")
  run(${emulator} ${WORK_DIR}/cmake-build/consumer.exe)
  return()
endif()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${sanitize_flags}" "-DCMAKE_EXE_LINKER_FLAGS=${sanitize_flags}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
run(${WORK_DIR}/cmake-build/consumer)

# The pkg-config file, with a plain compiler call.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  file(GLOB pc_dirs ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "${pc_dirs}")
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs quvex RESULT_VARIABLE rc OUTPUT_VARIABLE flags
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know quvex in ${pc_dirs}")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  string(REGEX MATCH "-L([^ ;]+)" _ "${flags}")
  run(${C_COMPILER} ${sanitize_flags} ${CONSUMER_DIR}/consumer.c ${flags} -Wl,-rpath,${CMAKE_MATCH_1} -o ${WORK_DIR}/consumer-pc)
  run(${WORK_DIR}/consumer-pc)
else()
  message(STATUS "no pkg-config: the pkg-config file is not tried")
endif()
