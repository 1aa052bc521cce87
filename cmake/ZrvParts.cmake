# zrv_add_parts(folder...): adds each folder below the current source folder.
# A folder that is missing from the tree stops the configure with its name:
# a partial checkout must not quietly build a partial product.
function(zrv_add_parts)
    foreach(folder IN LISTS ARGN)
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
            file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
            message(FATAL_ERROR "The source folder ${where}/ is missing from the tree "
                                "(no ${where}/CMakeLists.txt)")
        endif()
        add_subdirectory(${folder})
    endforeach()
endfunction()
