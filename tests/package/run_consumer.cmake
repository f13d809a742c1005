# Installs the build into a fresh prefix, moves the tree elsewhere (an installed tree runs from
# wherever it lies), then uses it as a machine builder would, with no environment help: runs the
# installed quvex-sim, builds the consumer project with find_package(quvex CONFIG) and with
# pkg-config and runs both, and imports the Python package from a virtual environment (from the
# installed tree and from the sources). The development link libquvex.so is removed before the
# programs run, so each loads the library by its SONAME. Given a TOOLCHAIN (a Windows cross
# build), the consumer is cross-built with it and run next to the installed DLLs by the EMULATOR;
# the rest is not tried there.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

# A program of the tree run as a user runs it: no library path, no Python path, no library named.
set(clean_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=PYTHONPATH --unset=QUVEX_LIBRARY
    --unset=QUVEX_PREFIX)

set(config_option "")
if(CONFIG)
  set(config_option --config ${CONFIG})
endif()
# The install builds what it lays out: a tree built for one target only (the demo's) lacks the
# binding's generated table, which the install must make rather than stop half-way.
set(table ${BUILD_DIR}/python/quvex/_exports.py)
if(NOT TOOLCHAIN AND EXISTS ${table})
  file(REMOVE ${table})
endif()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/installed-here ${config_option})
file(RENAME ${WORK_DIR}/installed-here ${prefix})
file(GLOB_RECURSE installed_tables ${prefix}/*/_exports.py)
if(NOT TOOLCHAIN AND EXISTS ${BUILD_DIR}/python AND NOT installed_tables)
  message(FATAL_ERROR "the install left out the binding's table")
endif()

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

file(GLOB libdirs LIST_DIRECTORIES true ${prefix}/lib ${prefix}/lib64 ${prefix}/lib/*-linux-gnu)
find_file(soname_link NAMES ${SONAME} PATHS ${libdirs} NO_DEFAULT_PATH)
if(NOT soname_link)
  message(FATAL_ERROR "the installed library has no ${SONAME} in ${libdirs}")
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${sanitize_flags}" "-DCMAKE_EXE_LINKER_FLAGS=${sanitize_flags}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)

# The pkg-config file, with a plain compiler call and nothing added.
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
  run(${C_COMPILER} ${sanitize_flags} ${CONSUMER_DIR}/consumer.c ${flags} -o ${WORK_DIR}/consumer-pc)
else()
  message(STATUS "no pkg-config: the pkg-config file is not tried")
endif()

# Only the SONAME is left to load the library by.
file(GLOB dev_links ${prefix}/lib/libquvex.so ${prefix}/lib*/libquvex.so ${prefix}/lib/*/libquvex.so)
file(REMOVE ${dev_links})

run(${clean_env} ${WORK_DIR}/cmake-build/consumer)
if(PKG_CONFIG)
  run(${clean_env} ${WORK_DIR}/consumer-pc)
endif()

# The installed scenario runner.
if(RUNNER_SCENARIO)
  run(${clean_env} ${prefix}/bin/quvex-sim --version)
  run(${clean_env} ${prefix}/bin/quvex-sim --no-progress ${RUNNER_SCENARIO})
endif()

# The Python package in a virtual environment, installed offline with the interpreter's own
# setuptools. An interpreter cannot host a sanitizer runtime the library was not loaded with.
if(PYTHON AND NOT SANITIZE)
  set(venv ${WORK_DIR}/venv)
  # Debian's setuptools builds the package without a download; its wheel command comes with the
  # system site packages (python3-wheel).
  run(${clean_env} ${PYTHON} -m venv --system-site-packages ${venv})
  set(pip ${venv}/bin/python -m pip install -q --no-build-isolation --no-index --disable-pip-version-check)
  # From the sources, told where the tree is.
  set(src ${WORK_DIR}/sources)
  file(COPY ${SOURCE_DIR}/python ${SOURCE_DIR}/tools ${SOURCE_DIR}/CMakeLists.txt DESTINATION ${src})
  file(COPY ${SOURCE_DIR}/include/quvex DESTINATION ${src}/include)
  run(${clean_env} QUVEX_PREFIX=${prefix} ${pip} ${src}/python)
  run(${clean_env} ${venv}/bin/python ${CONSUMER_DIR}/move.py)
  # From the installed tree, which knows where it is.
  run(${clean_env} ${pip} --force-reinstall ${prefix}/share/quvex/python)
  run(${clean_env} ${venv}/bin/python ${CONSUMER_DIR}/move.py)
endif()
