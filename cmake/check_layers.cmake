# Checks every #include of the source folders against the layer order:
#
#   geometry < job < library | nesting | output < optimise | plates < app < app/gui | cli | bench
#
# A file may include its own folder and any folder of a lower layer; folders of
# one layer (library, nesting and output, say) do not include each other, and
# includes are rooted at the repository ("../" is refused). Includes that name
# no source folder (the standard library, Qt, generated ui_*.h) are not looked at.
#
#   cmake -DROOT=<repository> [-DEXPECT_VIOLATIONS=<n>] -P check_layers.cmake
#
# Fails on any violation; with EXPECT_VIOLATIONS, unless exactly that many are
# found (the checker's own test on a tree with planted faults).
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "check_layers: ROOT is not set")
endif()

# Longest folders first, so that app/gui is not taken for app.
set(folders app/gui geometry job library nesting output optimise plates app cli bench)
set(rank_geometry 0)
set(rank_job 1)
set(rank_library 2)
set(rank_nesting 2)
set(rank_output 2)
set(rank_optimise 3)
set(rank_plates 3)
set(rank_app 4)
set(rank_app_gui 5)
set(rank_cli 5)
set(rank_bench 5)

# The source folder that `path` (relative to the repository) lies in, or "".
function(folder_of path out)
  foreach(folder IN LISTS folders)
    string(FIND "${path}" "${folder}/" at)
    if(at EQUAL 0)
      set(${out} "${folder}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

set(sources)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE found RELATIVE "${ROOT}"
       "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp" "${ROOT}/${folder}/*.cpp"
       "${ROOT}/${folder}/*.cc")
  list(APPEND sources ${found})
endforeach()
list(REMOVE_DUPLICATES sources)
list(SORT sources)

set(violations 0)
foreach(source IN LISTS sources)
  folder_of("${source}" from)
  string(REPLACE "/" "_" fromKey "${from}")
  set(fromRank ${rank_${fromKey}})
  file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    string(REGEX MATCH "[\"<]([^\">]*)[\">]" ignored "${line}")
    set(target "${CMAKE_MATCH_1}")
    set(problem "")
    if(target MATCHES "(^|/)\\.\\./")
      set(problem "a relative include; includes are rooted at the repository")
    else()
      folder_of("${target}" to)
      if(to STREQUAL "" OR to STREQUAL from)
        continue()
      endif()
      string(REPLACE "/" "_" toKey "${to}")
      set(toRank ${rank_${toKey}})
      if(toRank EQUAL fromRank)
        set(problem "${from}/ and ${to}/ are side by side and do not include each other")
      elseif(toRank GREATER fromRank)
        set(problem "${to}/ lies above ${from}/")
      endif()
    endif()
    if(NOT problem STREQUAL "")
      math(EXPR violations "${violations} + 1")
      message(STATUS "${source}: #include \"${target}\": ${problem}")
    endif()
  endforeach()
endforeach()

list(LENGTH sources checked)
if(DEFINED EXPECT_VIOLATIONS)
  if(NOT violations EQUAL EXPECT_VIOLATIONS)
    message(FATAL_ERROR "check_layers: ${violations} violations, expected ${EXPECT_VIOLATIONS}")
  endif()
elseif(violations GREATER 0)
  message(FATAL_ERROR "check_layers: ${violations} includes break the layer order")
endif()
message(STATUS "check_layers: ${checked} files, ${violations} violations")
