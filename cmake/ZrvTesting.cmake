# zrv_add_test(NAME SOURCES src... [LIBS lib...] [LABELS label...])
# One GoogleTest program per unit. Every program links zrvtestmain, which gives
# each run fresh temporary XDG and home folders before any test starts.
function(zrv_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zrvtestmain ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
