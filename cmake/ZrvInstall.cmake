# zrv_install_component(TARGET)
# Installs a component library into the libraries' folder, where it finds its
# siblings, and registers it with zrvregsvr after installing. Registration goes
# to the installing user's hives (XDG_CONFIG_HOME, first of XDG_CONFIG_DIRS);
# it is skipped for staged installs (DESTDIR, packaging), whose maintainer
# scripts register at the target instead.
function(zrv_install_component target)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${target} LIBRARY DESTINATION ${ZRV_INSTALL_LIBDIR})
    if(NOT ZRV_REGISTER_ON_INSTALL)
        return()
    endif()
    install(CODE "
        set(regsvr \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zrvregsvr\")
        set(library \"\${CMAKE_INSTALL_PREFIX}/${ZRV_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>\")
        if(NOT DEFINED ENV{DESTDIR} AND EXISTS \"\${regsvr}\" AND EXISTS \"\${library}\")
            execute_process(COMMAND \"\${regsvr}\" \"\${library}\" RESULT_VARIABLE result)
            if(NOT result EQUAL 0)
                message(WARNING \"zrvregsvr could not register \${library}\")
            endif()
        endif()
    ")
endfunction()
