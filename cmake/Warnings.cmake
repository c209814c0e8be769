# One place for the project's warning policy, applied target by target.
function(lumagrove_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(LUMAGROVE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
