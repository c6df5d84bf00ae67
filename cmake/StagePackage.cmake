# Run by CPack on the staged files before it packs them. With SOURCE_DATE_EPOCH set (as
# scripts/release.sh sets it to the last commit's time), every file and folder gets that time, so
# that the archives and the installer do not depend on when or where the tree was built. The Linux
# program loses the compiler's notes that strip leaves (.comment, .note), as Debian's own tools do.
# For the installer, the commands that install and remove each file are written in name order
# (CPack's own lists follow the order the file system gives) to Files.nsh, which
# cmake/NSIS.template.in includes.
cmake_minimum_required(VERSION 3.25)
if(CPACK_GENERATOR STREQUAL "DEB")
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                            ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/games/arborath/Arborath
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(staged ${CPACK_TEMPORARY_DIRECTORY})
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${staged} ${staged}/*)
    list(SORT files)
    set(install "!macro InstallFiles\n")
    set(remove "!macro RemoveFiles\n")
    set(folders "")
    set(current "-")
    foreach(file IN LISTS files)
        cmake_path(GET file PARENT_PATH folder)
        if(NOT "${folder}" STREQUAL "${current}")
            set(current "${folder}")
            string(REPLACE "/" "\\" path "$INSTDIR/${folder}")
            string(REGEX REPLACE "\\\\$" "" path "${path}")
            string(APPEND install "  SetOutPath \"${path}\"\n")
            while(folder AND NOT folder IN_LIST folders)
                list(APPEND folders ${folder})
                cmake_path(GET folder PARENT_PATH folder)
            endwhile()
        endif()
        string(REPLACE "/" "\\" path "$INSTDIR/${file}")
        string(APPEND install "  File \"${staged}/${file}\"\n")
        string(APPEND remove "  Delete \"${path}\"\n")
    endforeach()
    # The deepest folders first; each only when empty.
    list(SORT folders ORDER DESCENDING)
    foreach(folder IN LISTS folders)
        string(REPLACE "/" "\\" path "$INSTDIR/${folder}")
        string(APPEND remove "  RMDir \"${path}\"\n")
    endforeach()
    file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/Files.nsh "${install}!macroend\n${remove}!macroend\n")
endif()
