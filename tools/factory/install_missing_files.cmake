# Installs the factory files of TARVIK_FACTORY_SOURCE into the data folder
# TARVIK_FACTORY_DESTINATION, copying each file only where the destination
# has none: the data folder belongs to its user, whose settings and patches
# outlive any reinstall. DESTDIR is honoured as for every installed file.
set(destination "$ENV{DESTDIR}${TARVIK_FACTORY_DESTINATION}")
file(GLOB_RECURSE patches LIST_DIRECTORIES false RELATIVE "${TARVIK_FACTORY_SOURCE}"
     "${TARVIK_FACTORY_SOURCE}/Tarvik Patches/*")
list(SORT patches)
foreach(file IN ITEMS Config.ini Gui.ini StartupPatch.ini LISTS patches)
    set(target "${destination}/${file}")
    if(EXISTS "${target}" OR IS_SYMLINK "${target}")
        message(STATUS "Keeping: ${target}")
        continue()
    endif()
    get_filename_component(folder "${target}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${TARVIK_FACTORY_SOURCE}/${file}" "${target}")
    message(STATUS "Installing: ${target}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
endforeach()
