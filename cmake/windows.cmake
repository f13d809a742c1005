# Windows targets: self-contained DLLs and programs, export tables from the public headers, and
# the export check.

# Link the C++ runtime, libgcc and the threads library in, so the DLLs and test programs need
# nothing beside them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_link_options(-static)
endif()

# C99 formatting (%zu, %lld) in the printf family, as on every other platform.
if(MINGW)
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
endif()

# Windows programs built on Linux run under Wine (ctest, and CMake's own try-runs), each build
# with a Wine prefix of its own.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Every export is declared in one of these headers; sim*.h are the virtual installation's own.
file(GLOB QUVEX_PUBLIC_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/include/quvex/quvex*.h ${CMAKE_SOURCE_DIR}/include/quvex/kring*.h)
file(GLOB QUVEX_SIM_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/include/quvex/sim*.h)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QUVEX_STDCALL32 ON)
else()
  set(QUVEX_STDCALL32 OFF)
endif()

option(QUVEX_EXPORT_CHECK "Check the DLLs' export tables against the headers (ctest)" ON)
if(QUVEX_EXPORT_CHECK)
  enable_testing()
  add_test(NAME export_tools COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_exports_test.py)
endif()

# Names the DLL's exports through a .def file generated from the headers (regenerated when a
# header changes), so every export is undecorated and nothing else is exported. On 32-bit
# Windows the entries carry the stdcall argument size and --kill-at strips it from the exported
# name; the import library keeps the decorated symbols that callers compiled against the header
# reference.
#   quvex_windows_exports(<dll target> OBJECTS <object libraries linked into it> HEADERS <headers>
#                         [FORBID <texts no symbol of the DLL may contain>])
function(quvex_windows_exports target)
  cmake_parse_arguments(arg "" "" "OBJECTS;HEADERS;FORBID" ${ARGN})
  set(headers ${arg_HEADERS})
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  set(probe ${CMAKE_CURRENT_BINARY_DIR}/${target}_link_probe.c)
  set(stdcall_flag "")
  if(QUVEX_STDCALL32)
    set(stdcall_flag --stdcall32)
  endif()
  add_custom_command(
    OUTPUT ${def} ${probe}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_def.py --library ${target}.dll --out ${def}
            --probe ${probe} ${stdcall_flag} ${headers}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_def.py ${headers}
    COMMENT "Export table of ${target}.dll"
    VERBATIM)
  add_custom_target(${target}_def DEPENDS ${def})
  add_dependencies(${target} ${target}_def)
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".lib" LINK_DEPENDS ${def})
  target_link_options(${target} PRIVATE ${def})
  if(QUVEX_STDCALL32)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    # The linker's own import library would name the killed (undecorated) symbols; callers
    # compiled against the header reference _name@N, so the import library comes from the .def.
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${def} --dllname ${target}.dll
              --output-lib $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  endif()

  # A C program referring to every export, linked through the import library.
  add_executable(${target}_link_probe ${probe})
  target_include_directories(${target}_link_probe PRIVATE ${CMAKE_SOURCE_DIR}/include)
  target_link_libraries(${target}_link_probe PRIVATE ${target})

  if(QUVEX_EXPORT_CHECK)
    # The objects whose stdcall-decorated symbols the check compares with the headers.
    set(objects ${CMAKE_CURRENT_BINARY_DIR}/${target}.objects)
    set(content "")
    foreach(lib ${arg_OBJECTS})
      string(APPEND content "$<JOIN:$<TARGET_OBJECTS:${lib}>,\n>\n")
    endforeach()
    file(GENERATE OUTPUT ${objects} CONTENT "${content}")
    set(check_options "")
    if(QUVEX_STDCALL32)
      set(check_options --stdcall32)
    endif()
    foreach(text ${arg_FORBID})
      list(APPEND check_options --forbid-symbol ${text})
    endforeach()
    add_test(NAME exports_${target}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_exports.py
                     --dll $<TARGET_FILE:${target}> --objdump ${CMAKE_OBJDUMP} --nm ${CMAKE_NM}
                     --objects-file ${objects} ${check_options} ${headers})
  endif()
endfunction()
