# Run by CPack once it has made the zip: the archive's one top folder is named Arborath, and
# CPack names the file after it, so a copy is put beside it that carries the version and system.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
    file(COPY_FILE ${file} ${CPACK_PACKAGE_DIRECTORY}/${CPACK_ARBORATH_ZIP_NAME}.zip)
endforeach()
