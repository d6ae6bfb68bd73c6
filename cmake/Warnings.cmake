# Our own code builds with -Wall -Wextra; third-party code (GLFW,
# GoogleTest) keeps its own flags. Warnings are errors where we build to
# test (the test, asan, fuzz and Windows presets turn TOLVANE_WERROR on); a
# person's build with a newer compiler than ours only reports a warning we
# have not met yet.
option(TOLVANE_WERROR "Treat warnings in our own code as errors" OFF)
set(TOLVANE_WARNING_FLAGS -Wall -Wextra)
if(TOLVANE_WERROR)
    list(APPEND TOLVANE_WARNING_FLAGS -Werror)
endif()

function(tolvane_warnings target)
    target_compile_options(${target} PRIVATE ${TOLVANE_WARNING_FLAGS})
endfunction()
