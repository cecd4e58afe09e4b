# What the program carries inside its binaries, made by the native build's
# tools into TARVIK_RESOURCE_DIR. A cross-build cannot run those tools:
# point TARVIK_RESOURCE_DIR at a native build's folder.
#
# The pictures that belong to the program rather than to a skin (the
# editor's dialog panels draw them): every build compiles the PNG bytes
# found there into the editor, so no skin a user installs can lose them.
set(TARVIK_RESOURCE_DIR "${PROJECT_BINARY_DIR}/resources"
    CACHE PATH "Folder of the program's own pictures (a native build draws them there)")
set(TARVIK_PROGRAM_PICTURES CheckBox.png closebutton.png spinbox.png horizontalline.png)

# Whether this build makes them itself (tools/skin draws the pictures,
# tools/pack packs the factory files).
if(TARVIK_BUILD_TOOLS AND NOT CMAKE_CROSSCOMPILING)
    set(TARVIK_MAKES_RESOURCES ON)
else()
    set(TARVIK_MAKES_RESOURCES OFF)
endif()

# Compiles the pictures into `target` as a generated source.
function(tarvik_embed_program_pictures target)
    set(inputs "")
    set(missing "")
    foreach(name IN LISTS TARVIK_PROGRAM_PICTURES)
        set(path "${TARVIK_RESOURCE_DIR}/${name}")
        if(TARVIK_MAKES_RESOURCES OR EXISTS "${path}")
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

# The factory files of the data folder, packed as a C++ source by the pack
# tool: the front ends' binaries link tarvik_factory_files, so that copying a
# binary alone is a complete install.
function(tarvik_add_factory_files_library)
    set(source "${TARVIK_RESOURCE_DIR}/factory_files.cpp")
    if(TARVIK_MAKES_RESOURCES)
        set(data "${PROJECT_BINARY_DIR}/data")
        add_custom_command(
            OUTPUT "${source}"
            COMMAND tarvik-pack source "${data}" "${source}"
            DEPENDS tarvik-pack
                    "${PROJECT_BINARY_DIR}/tools/skin/skin.stamp"
                    "${PROJECT_BINARY_DIR}/tools/factory/factory_bank.stamp"
                    "${PROJECT_BINARY_DIR}/data/Tarvik Data/wtsaw.dat"
            COMMENT "Packing the factory files for the plug-in binaries"
            VERBATIM)
    elseif(NOT EXISTS "${source}")
        message(WARNING "No factory_files.cpp in TARVIK_RESOURCE_DIR (${TARVIK_RESOURCE_DIR}): the plug-in binaries "
                        "will carry no factory files. Point TARVIK_RESOURCE_DIR at a native build's resources folder.")
        set(source "${CMAKE_CURRENT_BINARY_DIR}/no_factory_files.cpp")
        file(WRITE "${source}" "#include \"instrument/factory_pack.h\"\n"
                               "std::span<const std::uint8_t> tarvik::carriedFactoryFiles() { return {}; }\n")
    endif()
    add_library(tarvik_factory_files STATIC "${source}")
    target_link_libraries(tarvik_factory_files PUBLIC tarvik_core)
    if(TARVIK_MAKES_RESOURCES)
        add_dependencies(tarvik_factory_files tarvik_skin_files tarvik_factory_bank tarvik_wavetable_files)
    endif()
endfunction()
