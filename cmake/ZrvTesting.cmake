# zrv_add_test(NAME SOURCES src... [LIBS lib...] [LABELS label...] [XVFB] [XVFB_WM])
# One GoogleTest program per unit. Every program links zrvtestmain, which gives
# each run fresh temporary XDG and home folders before any test starts.
# XVFB runs the program on a private X server (xvfb-run) with Qt's xcb
# platform, one such program at a time. XVFB_WM does the same under the
# window manager openbox (tests/support/with-openbox.sh).
function(zrv_add_test name)
    cmake_parse_arguments(ARG "XVFB;XVFB_WM" "" "SOURCES;LIBS;LABELS" ${ARGN})
    set(window_manager)
    if(ARG_XVFB_WM)
        set(ARG_XVFB TRUE)
        set(window_manager ${PROJECT_SOURCE_DIR}/tests/support/with-openbox.sh)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zrvtestmain ${ARG_LIBS})
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24"
                 ${window_manager} env QT_QPA_PLATFORM=xcb $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xvfb)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 90)
    if(ZRV_SANITIZE)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT
            "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp")
    endif()
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
