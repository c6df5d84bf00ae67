# vantor_add_program(<name> SOURCES <file>... [DATA <folder-or-file>...])
#
# A program on the engine: the entry, the backend, the host and the game's sources (which provide
# CreateMainController). The Data folder beside the executable holds exactly what DATA names: the
# contents of each folder (with its subfolders) and each single file, by its own name. Relative
# paths are taken from the calling CMakeLists.txt. The copy is a build step that depends on the
# files themselves, so an edit, a rename or a deletion reaches the Data folder at the next build,
# and a file that is no longer named is removed from it.
function(vantor_add_program name)
    cmake_parse_arguments(PARSE_ARGV 1 PROGRAM "" "" "SOURCES;DATA")
    if(PROGRAM_UNPARSED_ARGUMENTS OR NOT PROGRAM_SOURCES)
        message(FATAL_ERROR "vantor_add_program(${name} SOURCES <file>... [DATA <folder-or-file>...]): "
                            "no SOURCES, or unexpected arguments: ${PROGRAM_UNPARSED_ARGUMENTS}")
    endif()
    # Found from this file, so that the function works from any project that added the engine.
    cmake_path(GET CMAKE_CURRENT_FUNCTION_LIST_DIR PARENT_PATH root)
    set(sync ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/SyncData.cmake)
    if(EMSCRIPTEN)
        set(entry ${root}/Web/Main.cpp)
    elseif(WIN32)
        set(entry ${root}/Windows/Main.cpp)
    else()
        set(entry ${root}/Sdl/Main.cpp)
    endif()
    add_executable(${name} WIN32 ${entry} ${PROGRAM_SOURCES})
    target_link_libraries(${name} PRIVATE VantorPlatform)
    if(WIN32)
        # The application manifest, as resource 1 of type 24 (RT_MANIFEST). Its four-part version
        # is the calling project's.
        set(version ${PROJECT_VERSION})
        if(NOT version)
            set(version 0)
        endif()
        string(REPLACE "." ";" version "${version}.0.0.0")
        list(SUBLIST version 0 4 version)
        list(JOIN version "." version)
        set(app_manifest ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
        configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Program.manifest.in ${app_manifest} @ONLY)
        file(CONFIGURE OUTPUT ${app_manifest}.rc CONTENT "1 24 \"${app_manifest}\"\n" @ONLY)
        target_sources(${name} PRIVATE ${app_manifest}.rc)
        set_property(SOURCE ${app_manifest}.rc APPEND PROPERTY OBJECT_DEPENDS ${app_manifest})
    endif()

    # Where the executable goes, as CMake decides it for a target that sets nothing of its own.
    get_target_property(folder ${name} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT folder)
        set(folder ${CMAKE_CURRENT_BINARY_DIR})
    endif()

    # One line a file: its source, a tab, its name inside Data.
    set(manifest "")
    set(sources "")
    foreach(item IN LISTS PROGRAM_DATA)
        cmake_path(ABSOLUTE_PATH item BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE path)
        if(IS_DIRECTORY ${path})
            file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false RELATIVE ${path} ${path}/*)
            # Hidden files (version-control notes, editors' leftovers) are no data of the program's.
            list(FILTER files EXCLUDE REGEX "(^|/)\\.")
            list(SORT files)
            foreach(file IN LISTS files)
                string(APPEND manifest "${path}/${file}\t${file}\n")
                list(APPEND sources ${path}/${file})
            endforeach()
        elseif(EXISTS ${path})
            cmake_path(GET path FILENAME file)
            string(APPEND manifest "${path}\t${file}\n")
            list(APPEND sources ${path})
        else()
            message(FATAL_ERROR "vantor_add_program(${name}): the data folder or file ${item} does not exist "
                                "(looked for ${path})")
        endif()
    endforeach()

    # Rewritten only when it changes, so that an unchanged list does not start a copy.
    set(list ${CMAKE_CURRENT_BINARY_DIR}/${name}.data)
    file(CONFIGURE OUTPUT ${list} CONTENT "${manifest}" @ONLY)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.data.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DLIST=${list} -DFOLDER=${folder}/Data -P ${sync}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${list} ${sources} ${sync}
        COMMENT "Data folder of ${name}"
        VERBATIM)
    add_custom_target(${name}Data ALL DEPENDS ${stamp})
    add_dependencies(${name} ${name}Data)
    set_target_properties(${name} PROPERTIES VANTOR_DATA_FOLDER ${folder}/Data)

    if(EMSCRIPTEN)
        # The page <name>.html beside <name>.js (the page's loader) and <name>.pack, which holds the
        # program's script, its WebAssembly and its Data files, compressed (Web/pack_page.py): the
        # loader fetches the pack, unpacks it and starts the program. The pack is made after every
        # link, and a changed data file relinks; the page's own scripts (Loader.js, then Screen.js) are
        # <name>.js. Title, controls line, icon and on-screen buttons come from the target's properties,
        # which the program's project may set after this call.
        find_program(VANTOR_PYTHON NAMES python3 REQUIRED)
        set(shell ${CMAKE_CURRENT_BINARY_DIR}/${name}.shell.html)
        file(GENERATE OUTPUT ${shell} INPUT ${root}/Web/index.html TARGET ${name})
        set_target_properties(${name} PROPERTIES SUFFIX .html
            VANTOR_PAGE_TITLE ${name} VANTOR_PAGE_CONTROLS "" VANTOR_PAGE_ICON "data:," VANTOR_PAGE_BUTTONS "")
        # A deferred call's arguments are read when it runs: the name goes in as it is now.
        cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_CURRENT_SOURCE_DIR}]] CALL _vantor_check_page_buttons [[${name}]])")
        target_link_options(${name} PRIVATE "SHELL:--shell-file ${shell}")
        set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${shell}
                                                                  ${root}/Web/Loader.js ${root}/Web/Screen.js ${root}/Web/Gl.js
                                                                  ${root}/Web/PageLibrary.js
                                                                  ${root}/Web/pack_page.py ${list} ${sources})
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${VANTOR_PYTHON} ${root}/Web/pack_page.py pack ${list} ${folder}/${name}.wasm
                    ${folder}/${name}.js ${folder}/${name}.pack
            COMMENT "Pack of ${name}" VERBATIM)
    endif()
endfunction()

# VANTOR_PAGE_BUTTONS: one entry "<key> <side> <label>" a button, the key by its name in Key.h, the
# side left, right or bottom. Checked once the program's directory has set it, so that a typing
# error stops the build instead of showing a button that presses nothing.
function(_vantor_check_page_buttons name)
    set(keys Left Right Up Down Enter Space Escape Backspace Tab LeftShift RightShift LeftControl RightControl
             LeftAlt RightAlt)
    get_target_property(buttons ${name} VANTOR_PAGE_BUTTONS)
    foreach(button IN LISTS buttons)
        set(key "")
        if(button MATCHES "^([A-Za-z0-9]+) +(left|right|bottom) +[^ ]")
            set(key ${CMAKE_MATCH_1})
        endif()
        string(REGEX MATCH [=[["<>&]]=] markup "${button}")
        if(NOT (key MATCHES "^([A-Z]|Digit[0-9])$" OR key IN_LIST keys) OR markup)
            message(FATAL_ERROR "${name}: the on-screen button \"${button}\" is not \"<key> <side> <label>\" "
                                "with a key of Key.h, a side left, right or bottom, and a label without \" < > &")
        endif()
    endforeach()
endfunction()
