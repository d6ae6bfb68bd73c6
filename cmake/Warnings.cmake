# Our own code builds with warnings as errors; third-party code (GLFW,
# GoogleTest) keeps its own flags.
function(tolvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
