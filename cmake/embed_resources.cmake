# Writes a C++ source holding the bytes of each named file of a folder, and
# the table programResources() answers (gui/editor/program_resources.h).
# Run as: cmake -DRESOURCE_DIR=folder -DNAMES=a.png,b.png -DOUTPUT=file.cpp -P embed_resources.cmake
# A file that is not there is listed without bytes.
string(REPLACE "," ";" names "${NAMES}")
set(arrays "")
set(table "")
set(index 0)
foreach(name IN LISTS names)
    set(path "${RESOURCE_DIR}/${name}")
    if(EXISTS "${path}")
        file(READ "${path}" hex HEX)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        # Sixteen bytes to a line keeps the lines short (CMake's expressions
        # know no counted repeats, so the pattern is spelled out).
        string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
        string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
        string(APPEND arrays "const unsigned char kFile${index}[] = {\n    ${bytes}\n};\n")
        string(APPEND table "    {\"${name}\", kFile${index}, sizeof kFile${index}},\n")
    else()
        string(APPEND table "    {\"${name}\", nullptr, 0},\n")
    endif()
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}" "// Written by cmake/embed_resources.cmake from ${RESOURCE_DIR}; not to be edited.
#include \"gui/editor/program_resources.h\"

namespace tarvik::gui {

namespace {

${arrays}
const ProgramResource kResources[] = {
${table}};

}  // namespace

std::span<const ProgramResource> programResources() { return kResources; }

}  // namespace tarvik::gui
")
