# What a player downloads: `cmake --install` rules for Arborath, and CPack making a zip and an
# installer of the Windows build or a Debian package of the Linux build from them. Included by the
# root CMakeLists.txt after the Arborath target.

set(ARBORATH_MAINTAINER "The Arborath developers <arborath@users.noreply.example.org>")
set(packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(staged ${CMAKE_CURRENT_BINARY_DIR}/packaging)
# The Data folder the build keeps beside the program: exactly the files the program names.
get_target_property(data_folder Arborath VANTOR_DATA_FOLDER)
# What players get of it: the folder's README.md is notes for developers.
set(players_data PATTERN README.md EXCLUDE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

configure_file(${packaging}/README.txt ${staged}/README.txt @ONLY)

set(CPACK_PACKAGE_NAME Arborath)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Arborath developers")
set(CPACK_PACKAGE_CONTACT ${ARBORATH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player contest for one keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "Two players at one keyboard pull the favour of a grove towards their side,\n"
    "sacrificing lumber to move it and trading lumber to make more, while the\n"
    "favour compounds and a mystery offering can turn the game. Drawn with\n"
    "OpenGL in a fixed 800 x 600 window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
# The staged files' times set to SOURCE_DATE_EPOCH, and what strip leaves in the Linux program.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StagePackage.cmake)

if(WIN32)
    # Explorer shows the icon and the version block; the window class still gets no icon.
    enable_language(RC)
    set(ARBORATH_ICON ${packaging}/icons/Arborath.ico)
    configure_file(${packaging}/Arborath.rc.in ${staged}/Arborath.rc @ONLY)
    target_sources(Arborath PRIVATE ${staged}/Arborath.rc)
    set_property(SOURCE ${staged}/Arborath.rc APPEND PROPERTY OBJECT_DEPENDS ${ARBORATH_ICON})

    # The zip's one folder, as it unpacks: Arborath/Arborath.exe with Data/ beside it. The installer
    # puts the same files into the player's own programs folder.
    install(TARGETS Arborath RUNTIME DESTINATION .)
    install(DIRECTORY ${data_folder}/ DESTINATION Data ${players_data})
    install(FILES ${staged}/README.txt ${packaging}/THIRD-PARTY-NOTICES.txt DESTINATION .)
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

    # The zip, and an installer for the current user alone made from cmake/NSIS.template.in: the
    # stock template installs for all users, with administrator rights.
    set(CPACK_GENERATOR ZIP NSIS)
    set(CPACK_PACKAGE_FILE_NAME Arborath) # the zip's top folder
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_ARBORATH_ZIP_NAME Arborath-${PROJECT_VERSION}-windows-x64)
    set(CPACK_ARBORATH_SETUP_NAME Arborath-${PROJECT_VERSION}-windows-x64-setup)
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageName.cmake)
    set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/WriteZip.cmake)
    set(CPACK_NSIS_MUI_ICON ${ARBORATH_ICON})
    set(CPACK_NSIS_MUI_UNIICON ${ARBORATH_ICON})
    list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
else()
    # The program with its Data beside it, as the engine wants: the program in a private folder
    # under lib/games (a binary may not live under share), its Data folder a link to the pictures
    # in share/games, where data alike on every architecture belongs. The launcher on the PATH is
    # a relative link too, so the tree works wherever it is unpacked; the engine finds Data through
    # the launcher's target.
    set(ARBORATH_WM_CLASS Arborath)
    install(TARGETS Arborath RUNTIME DESTINATION lib/games/arborath)
    install(DIRECTORY ${data_folder}/ DESTINATION share/games/arborath ${players_data})
    file(MAKE_DIRECTORY ${staged}/links)
    file(CREATE_LINK ../../../share/games/arborath ${staged}/links/Data SYMBOLIC)
    install(FILES ${staged}/links/Data DESTINATION lib/games/arborath)
    file(CREATE_LINK ../lib/games/arborath/Arborath ${staged}/links/arborath SYMBOLIC)
    install(FILES ${staged}/links/arborath DESTINATION games)

    # The desktop entry, and what software centres list, by one id. The project owns no domain
    # name yet: its id is under example.org until it does.
    set(ARBORATH_APP_ID org.example.arborath)
    configure_file(${packaging}/arborath.metainfo.xml ${staged}/${ARBORATH_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${staged}/${ARBORATH_APP_ID}.metainfo.xml DESTINATION share/metainfo)
    configure_file(${packaging}/arborath.desktop ${staged}/${ARBORATH_APP_ID}.desktop @ONLY)
    install(FILES ${staged}/${ARBORATH_APP_ID}.desktop DESTINATION share/applications)
    foreach(size 48 64 128 256)
        install(FILES ${packaging}/icons/arborath-${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME arborath.png)
    endforeach()

    # Compressed without a time stamp, so that the same sources give the same package.
    configure_file(${packaging}/arborath.6 ${staged}/arborath.6 @ONLY)
    configure_file(${packaging}/changelog ${staged}/changelog @ONLY)
    configure_file(${packaging}/copyright ${staged}/copyright @ONLY)
    add_custom_command(OUTPUT ${staged}/arborath.6.gz ${staged}/changelog.gz
        COMMAND gzip -9nkf ${staged}/arborath.6 ${staged}/changelog
        DEPENDS ${staged}/arborath.6 ${staged}/changelog
        VERBATIM)
    add_custom_target(ArborathPackaging DEPENDS ${staged}/arborath.6.gz ${staged}/changelog.gz)
    add_dependencies(Arborath ArborathPackaging)
    install(FILES ${staged}/arborath.6.gz DESTINATION share/man/man6)
    install(FILES ${staged}/README.txt ${staged}/changelog.gz ${staged}/copyright DESTINATION share/doc/arborath)
    install(FILES ${packaging}/lintian-overrides DESTINATION share/lintian/overrides RENAME arborath)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_PACKAGE_NAME arborath)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ARBORATH_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
