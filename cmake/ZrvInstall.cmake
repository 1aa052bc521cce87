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

# zrv_install_man_page(SOURCE): installs a troff page into section 1,
# compressed as Debian wants it. SOURCE may be a generated file.
function(zrv_install_man_page source)
    get_filename_component(page ${source} NAME)
    set(compressed ${PROJECT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND gzip -n -9 -c ${source} > ${compressed}
        DEPENDS ${source} VERBATIM)
    string(MAKE_C_IDENTIFIER ${page} name)
    add_custom_target(zrv_man_${name} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
