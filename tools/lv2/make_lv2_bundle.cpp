// Writes the LV2 bundle's description (manifest.ttl and tarvik.ttl) from the
// parameter table, so that the ports' names and defaults are the ones the
// plug-in has.
//
// Usage: tarvik_make_lv2_bundle <bundle folder> <binary file name>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "lv2/ports.h"
#include "patch/parameters.h"

namespace tarvik::lv2 {
namespace {

// A Turtle string literal's body: quotes, backslashes and control characters
// escaped.
std::string turtleString(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return '"' + out + '"';
}

// An LV2 symbol from a parameter's name: lower case, every other character an
// underscore, a leading digit guarded, and a number appended to a repeat.
std::string symbolOf(const std::string& name, std::set<std::string>& taken) {
    std::string symbol;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        symbol += std::isalnum(byte) ? static_cast<char>(std::tolower(byte)) : '_';
    }
    if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol.insert(0, "_");
    std::string unique = symbol;
    for (int n = 2; taken.count(unique) != 0; ++n) unique = symbol + "_" + std::to_string(n);
    taken.insert(unique);
    return unique;
}

// The shortest text that reads back as the same float, as a Turtle decimal.
std::string decimal(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string out(text, end);
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

std::string manifest(const std::string& binary) {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n"
        << '<' << kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binary << "> ;\n"
        << "    rdfs:seeAlso <tarvik.ttl> .\n";
    return out.str();
}

std::string description() {
    std::ostringstream out;
    out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
           "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
           "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
           "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
           "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
           "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n"
        << '<' << kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
        << "    doap:name " << turtleString("Tarvik") << " ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature opts:options , lv2:hardRTCapable ;\n"
        << "    lv2:port ";
    std::set<std::string> symbols;
    for (int i = 0; i < kNumParameters; ++i) {
        const ParameterInfo& info = kParameterTable[static_cast<std::size_t>(i)];
        out << "[\n        a lv2:InputPort , lv2:ControlPort ;\n"
            << "        lv2:index " << kFirstParameterPort + i << " ;\n"
            << "        lv2:symbol " << turtleString(symbolOf(info.name, symbols)) << " ;\n"
            << "        lv2:name " << turtleString(info.name) << " ;\n"
            << "        lv2:default " << decimal(info.defaultValue) << " ;\n"
            << "        lv2:minimum 0.0 ;\n"
            << "        lv2:maximum 1.0\n"
            << "    ] , ";
    }
    out << "[\n        a lv2:InputPort , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent , time:Position ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:index " << kEventsPort << " ;\n"
        << "        lv2:symbol " << turtleString("events") << " ;\n"
        << "        lv2:name " << turtleString("Events") << "\n"
        << "    ] , [\n        a lv2:InputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kAuxPort << " ;\n"
        << "        lv2:symbol " << turtleString("aux_in") << " ;\n"
        << "        lv2:name " << turtleString("AUX In") << "\n"
        << "    ] , [\n        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kLeftPort << " ;\n"
        << "        lv2:symbol " << turtleString("out_left") << " ;\n"
        << "        lv2:name " << turtleString("Left Out") << "\n"
        << "    ] , [\n        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kRightPort << " ;\n"
        << "        lv2:symbol " << turtleString("out_right") << " ;\n"
        << "        lv2:name " << turtleString("Right Out") << "\n"
        << "    ] .\n";
    return out.str();
}

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::cerr << "cannot write " << path << '\n';
    return static_cast<bool>(file);
}

}  // namespace
}  // namespace tarvik::lv2

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tarvik_make_lv2_bundle <bundle folder> <binary file name>\n";
        return 2;
    }
    const std::filesystem::path bundle = argv[1];
    std::error_code error;
    std::filesystem::create_directories(bundle, error);
    if (error) {
        std::cerr << "cannot create " << bundle << ": " << error.message() << '\n';
        return 1;
    }
    const bool written = tarvik::lv2::writeFile(bundle / "manifest.ttl", tarvik::lv2::manifest(argv[2])) &&
                         tarvik::lv2::writeFile(bundle / "tarvik.ttl", tarvik::lv2::description());
    return written ? 0 : 1;
}
