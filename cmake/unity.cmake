# Unity (jumbo) builds. Most of our files are a few short functions under a long tail of shared
# headers (the standard library, GoogleTest), so compiling is mostly parsing those headers again
# for every file. A unity target compiles its sources in batches of QUVEX_UNITY_BATCH files, each
# batch one translation unit: the headers are parsed once per batch. On a two-core machine this
# cuts a configuration's compile time to about a third.
#
# Files in one batch share one translation unit, so their file-local names (anonymous namespaces,
# using-directives) must not clash. A file that does is listed in cmake/unity-alone.txt and
# compiled on its own; the list is meant to shrink, not grow: prefer a distinct name.
option(QUVEX_UNITY "Compile each target's sources in batches (unity build)" ON)
set(QUVEX_UNITY_BATCH 16 CACHE STRING "Source files per translation unit in a unity build")

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/unity-alone.txt quvex_unity_alone_lines REGEX "^[^#]")
set(QUVEX_UNITY_ALONE "")
foreach(line ${quvex_unity_alone_lines})
  string(STRIP "${line}" line)
  if(line)
    list(APPEND QUVEX_UNITY_ALONE ${PROJECT_SOURCE_DIR}/${line})
  endif()
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_LIST_DIR}/unity-alone.txt)

# quvex_unity(<target>...): batch the targets' sources. Called in the directory that creates the
# targets (the files' exclusions are properties of that directory).
function(quvex_unity)
  if(NOT QUVEX_UNITY)
    return()
  endif()
  set_target_properties(${ARGN} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${QUVEX_UNITY_BATCH})
  if(QUVEX_UNITY_ALONE)
    set_source_files_properties(${QUVEX_UNITY_ALONE} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endif()
endfunction()
