# tarn_core_library(<target>): what every library of the core shares. Includes
# are rooted at the repository; the warnings come from cmake/warnings.cmake.
function(tarn_core_library target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  tarn_warnings(${target})
endfunction()
