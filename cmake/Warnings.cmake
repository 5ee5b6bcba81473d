# Project-wide warning flags; PELORIN_WERROR turns them into errors (CI).
option(PELORIN_WERROR "Treat warnings as errors" OFF)

function(pelorin_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
    if(PELORIN_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
