# What machine builders take from this project: the installed tree (headers, libraries, a CMake
# package giving quvex::quvex and quvex::sim, a pkg-config file), the Python binding, the scenario
# runner, and the suite's checks of them.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# ---- the install builds what it lays out ------------------------------------------------------
# A tree built for one target only (the demo's) lacks the runner and the binding's generated
# table; the install builds them first instead of stopping half-way through the copy.
# (On Windows `quvex` may be an alias of quvex_sim, which cannot be built by that name.)
if(WIN32)
  set(QUVEX_INSTALL_TARGETS quvex_sim $<$<TARGET_EXISTS:quvex_platform_win32>:quvex>)
else()
  set(QUVEX_INSTALL_TARGETS quvex)
endif()
list(APPEND QUVEX_INSTALL_TARGETS $<$<TARGET_EXISTS:quvex_python>:quvex_python> $<$<TARGET_EXISTS:quvex-sim>:quvex-sim>)
install(CODE "
  set(_quvex_config \"\${CMAKE_INSTALL_CONFIG_NAME}\")
  if(_quvex_config)
    set(_quvex_config --config \"\${_quvex_config}\")
  endif()
  execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${CMAKE_BINARY_DIR}\" \${_quvex_config}
                          --target \"$<JOIN:${QUVEX_INSTALL_TARGETS},\" \">\"
                  RESULT_VARIABLE _quvex_rc)
  if(NOT _quvex_rc EQUAL 0)
    message(FATAL_ERROR \"quvex: building the installed files failed; run cmake --build ${CMAKE_BINARY_DIR} and install again\")
  endif()
")

# ---- libraries and headers -------------------------------------------------------------------
# Windows builds install their DLLs, import libraries and headers with the targets themselves.
set(QUVEX_CARD_FILE "")
set(QUVEX_CARD_IMPLIB "")
set(QUVEX_SONAME "")
set(QUVEX_PC_RPATH "")
if(WIN32)
  set(QUVEX_SIM_FILE "bin/$<TARGET_FILE_NAME:quvex_sim>")
  set(QUVEX_SIM_IMPLIB "lib/$<TARGET_LINKER_FILE_NAME:quvex_sim>")
  set(QUVEX_PC_LIBDIR lib)
  if(TARGET quvex_platform_win32)
    set(QUVEX_CARD_FILE "bin/$<TARGET_FILE_NAME:quvex>")
    set(QUVEX_CARD_IMPLIB "lib/$<TARGET_LINKER_FILE_NAME:quvex>")
    set(QUVEX_PC_LIB quvex)
    set(QUVEX_PC_WHAT "the real card")
  else()
    set(QUVEX_PC_LIB quvex_sim)
    set(QUVEX_PC_WHAT "on the virtual installation")
  endif()
else()
  # The exports may change between minor versions, so the SONAME carries major and minor:
  # a program is never loaded with a library whose exports differ from the ones it linked.
  set_target_properties(quvex PROPERTIES VERSION ${PROJECT_VERSION}
                                         SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
  set(QUVEX_SONAME libquvex.so.${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
  install(TARGETS quvex LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(DIRECTORY include/quvex DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  set(QUVEX_SIM_FILE "${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:quvex>")
  set(QUVEX_SIM_IMPLIB "")
  set(QUVEX_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
  set(QUVEX_PC_LIB quvex)
  set(QUVEX_PC_WHAT "on the virtual installation")
  # A program linked from the pkg-config flags runs without LD_LIBRARY_PATH: the tree is rarely
  # in the loader's path (/opt/quvex), and ${libdir} follows the tree wherever it was copied.
  set(QUVEX_PC_RPATH "-Wl,-rpath,\${libdir} ")
endif()

# ---- CMake package: relocatable, found from wherever the tree is copied ----------------------
set(QUVEX_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/quvex)
file(RELATIVE_PATH QUVEX_CONFIG_TO_PREFIX /${QUVEX_CONFIG_DIR} /)
set(QUVEX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
configure_file(cmake/package/quvexConfig.cmake.in ${QUVEX_PACKAGE_DIR}/quvexConfig.cmake.gen @ONLY)
file(GENERATE OUTPUT ${QUVEX_PACKAGE_DIR}/quvexConfig.cmake INPUT ${QUVEX_PACKAGE_DIR}/quvexConfig.cmake.gen)
write_basic_package_version_file(${QUVEX_PACKAGE_DIR}/quvexConfigVersion.cmake VERSION ${PROJECT_VERSION}
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${QUVEX_PACKAGE_DIR}/quvexConfig.cmake ${QUVEX_PACKAGE_DIR}/quvexConfigVersion.cmake
        DESTINATION ${QUVEX_CONFIG_DIR})

# ---- pkg-config ----------------------------------------------------------------------------------
file(RELATIVE_PATH QUVEX_PC_TO_PREFIX /${QUVEX_PC_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" QUVEX_PC_TO_PREFIX "${QUVEX_PC_TO_PREFIX}")
configure_file(cmake/package/quvex.pc.in ${QUVEX_PACKAGE_DIR}/quvex.pc @ONLY)
install(FILES ${QUVEX_PACKAGE_DIR}/quvex.pc DESTINATION ${QUVEX_PC_LIBDIR}/pkgconfig)

# ---- Python binding ------------------------------------------------------------------------------
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_subdirectory(python)
elseif(CMAKE_CROSSCOMPILING)
  message(STATUS "quvex: no python3, the Python binding is left out of this cross build")
else()
  message(FATAL_ERROR "quvex: python3 is needed for the Python binding (tools/install-deps.sh)")
endif()

# ---- scenario runner ----------------------------------------------------------------------------
find_package(CLI11 CONFIG QUIET)
find_package(nlohmann_json CONFIG QUIET)
if(CLI11_FOUND AND nlohmann_json_FOUND AND Python3_Interpreter_FOUND AND NOT CMAKE_CROSSCOMPILING)
  add_subdirectory(runner)
else()
  message(STATUS "quvex: quvex-sim left out (it needs CLI11, nlohmann-json and python3, and is built natively)")
endif()

# ---- the installed tree in use -------------------------------------------------------------------
# A project outside the tree finds the package in a fresh install and runs a move with it.
if(QUVEX_TESTS AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME package
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                   -DCONSUMER_DIR=${PROJECT_SOURCE_DIR}/tests/package/consumer -DCONFIG=$<CONFIG>
                   -DC_COMPILER=${CMAKE_C_COMPILER} "-DSANITIZE=${QUVEX_SANITIZE}" -DSONAME=${QUVEX_SONAME}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DPYTHON=${Python3_EXECUTABLE}
                   "-DRUNNER_SCENARIO=$<$<TARGET_EXISTS:quvex-sim>:${PROJECT_SOURCE_DIR}/tests/runner/positioning.json>"
                   -P ${PROJECT_SOURCE_DIR}/tests/package/run_consumer.cmake)
  # It removes the binding's generated table from the build tree to see the install make it again.
  set_tests_properties(package PROPERTIES TIMEOUT 300 RESOURCE_LOCK quvex_python_table)
elseif(QUVEX_TESTS AND WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  # The Windows package: the consumer cross-built against the installed DLLs and import
  # libraries, and run next to them under the emulator.
  add_test(NAME package
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                   -DCONSUMER_DIR=${PROJECT_SOURCE_DIR}/tests/package/consumer -DCONFIG=$<CONFIG>
                   -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE} "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                   -P ${PROJECT_SOURCE_DIR}/tests/package/run_consumer.cmake)
  set_tests_properties(package PROPERTIES TIMEOUT 300)
endif()
