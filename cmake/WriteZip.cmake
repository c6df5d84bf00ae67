# Run by CPack once it has made a package. CPack names the zip after its top folder, Arborath, and
# keeps each file's access and change times in it; the zip players get is written again, named
# with the version and system, with the files in name order and their modification times alone
# (those of StagePackage.cmake). Times in a zip are local: scripts/release.sh runs in UTC.
if(CPACK_GENERATOR STREQUAL "ZIP")
    set(zip ${CPACK_PACKAGE_DIRECTORY}/${CPACK_ARBORATH_ZIP_NAME}.zip)
    file(REMOVE ${zip})
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${CPACK_TOPLEVEL_DIRECTORY}
         ${CPACK_TEMPORARY_DIRECTORY}/*)
    list(SORT files)
    list(JOIN files "\n" names)
    file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/names "${names}\n")
    execute_process(COMMAND zip -X -D -9 -q ${zip} -@ INPUT_FILE ${CPACK_TOPLEVEL_DIRECTORY}/names
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
endif()
