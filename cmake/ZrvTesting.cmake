# zrv_add_test(NAME SOURCES src... [LIBS lib...] [LABELS label...] [XVFB])
# One GoogleTest program per unit. Every program links zrvtestmain, which gives
# each run fresh temporary XDG and home folders before any test starts.
# XVFB runs the program on a private X server (xvfb-run) with Qt's xcb
# platform, one such program at a time.
function(zrv_add_test name)
    cmake_parse_arguments(ARG "XVFB" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zrvtestmain ${ARG_LIBS})
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24"
                 env QT_QPA_PLATFORM=xcb $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xvfb)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 90)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
