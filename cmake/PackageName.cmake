# Read by CPack before each generator: the installer carries the version and system in its name;
# the zip's name is its top folder's, renamed by WriteZip.cmake.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_ARBORATH_SETUP_NAME})
endif()
