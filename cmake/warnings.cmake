# One place for the warning flags, so every target gets the same set.
function(tarn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(TARN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
