# The pictures that belong to the program rather than to a skin (the editor's
# dialog panels draw them). The native build draws them with the skin tool
# into TARVIK_RESOURCE_DIR; every build compiles the PNG bytes found there
# into the plug-in, so no skin a user installs can lose them. A cross-build
# cannot run the skin tool: point TARVIK_RESOURCE_DIR at a native build's
# folder.
set(TARVIK_RESOURCE_DIR "${PROJECT_BINARY_DIR}/resources"
    CACHE PATH "Folder of the program's own pictures (a native build draws them there)")
set(TARVIK_PROGRAM_PICTURES CheckBox.png closebutton.png spinbox.png horizontalline.png)

# Whether this build draws them itself (tools/skin does, as for the skin).
if(TARVIK_BUILD_TOOLS AND NOT CMAKE_CROSSCOMPILING)
    set(TARVIK_DRAWS_PROGRAM_PICTURES ON)
else()
    set(TARVIK_DRAWS_PROGRAM_PICTURES OFF)
endif()

# Compiles the pictures into `target` as a generated source.
function(tarvik_embed_program_pictures target)
    set(inputs "")
    set(missing "")
    foreach(name IN LISTS TARVIK_PROGRAM_PICTURES)
        set(path "${TARVIK_RESOURCE_DIR}/${name}")
        if(TARVIK_DRAWS_PROGRAM_PICTURES OR EXISTS "${path}")
            list(APPEND inputs "${path}")
        else()
            list(APPEND missing "${name}")
        endif()
    endforeach()
    if(missing)
        list(JOIN missing ", " missing)
        message(WARNING "No ${missing} in TARVIK_RESOURCE_DIR (${TARVIK_RESOURCE_DIR}): the editor's panels "
                        "will lack those pictures. Point TARVIK_RESOURCE_DIR at a native build's resources folder.")
    endif()
    set(output "${CMAKE_CURRENT_BINARY_DIR}/program_resources_data.cpp")
    string(REPLACE ";" "," names "${TARVIK_PROGRAM_PICTURES}")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" "-DRESOURCE_DIR=${TARVIK_RESOURCE_DIR}" "-DNAMES=${names}" "-DOUTPUT=${output}"
                -P "${PROJECT_SOURCE_DIR}/cmake/embed_resources.cmake"
        DEPENDS ${inputs} "${PROJECT_SOURCE_DIR}/cmake/embed_resources.cmake"
        COMMENT "Compiling the program's pictures into ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE "${output}")
endfunction()
