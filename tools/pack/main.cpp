// Packs the build's data folder into the plug-in binaries, installs it into
// a data folder the way the plug-in itself does, and tells the Windows
// installer whose each file is.
//
//   tarvik-pack source DATA_FOLDER OUT.cpp    the pack as a C++ source (carriedFactoryFiles)
//   tarvik-pack install DATA_FOLDER TARGET    the factory files into a user's data folder
//   tarvik-pack owners DATA_FOLDER            "user" or "program", a tab and the name, per file
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "instrument/factory_files.h"
#include "instrument/factory_pack.h"
#include "patch/safe_file.h"

namespace {

namespace fs = std::filesystem;

int usage() {
    std::fprintf(stderr, "usage: tarvik-pack source DATA_FOLDER OUT.cpp\n"
                         "       tarvik-pack install DATA_FOLDER TARGET_FOLDER\n"
                         "       tarvik-pack owners DATA_FOLDER\n");
    return 2;
}

// Every factory file below the folder, named as the pack names it.
bool readFolder(const fs::path& folder, std::vector<tarvik::FactoryFile>& files) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = fs::relative(it->path(), folder).generic_string();
        if (!it->is_regular_file() || !tarvik::isFactoryFile(name)) continue;
        std::ifstream in(it->path(), std::ios::binary);
        tarvik::FactoryFile file{name, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
        if (in.bad()) {
            std::fprintf(stderr, "tarvik-pack: cannot read %s\n", it->path().c_str());
            return false;
        }
        files.push_back(std::move(file));
    }
    if (error || files.empty()) {
        std::fprintf(stderr, "tarvik-pack: no files in %s%s%s\n", folder.c_str(), error ? ": " : "",
                     error ? error.message().c_str() : "");
        return false;
    }
    return true;
}

// The block as one string literal of escaped bytes, sixty-four to a line: a
// compiler reads a literal far faster than an array of numbers.
bool writeSource(const std::vector<std::uint8_t>& block, const std::string& path) {
    tarvik::SafeFileWriter writer(path);
    std::FILE* out = writer.file();
    if (!out) return false;
    std::fputs("// Written by tarvik-pack from the build's data folder; not to be edited.\n"
               "#include \"instrument/factory_pack.h\"\n\n"
               "namespace {\n\nconst char kPack[] =\n",
               out);
    for (std::size_t line = 0; line < block.size(); line += 64) {
        std::fputc('"', out);
        for (std::size_t i = line; i < block.size() && i < line + 64; ++i) std::fprintf(out, "\\x%02x", block[i]);
        std::fputs("\"\n", out);
    }
    std::fputs(";\n\n}  // namespace\n\n"
               "std::span<const std::uint8_t> tarvik::carriedFactoryFiles() {\n"
               "    return {reinterpret_cast<const std::uint8_t*>(kPack), sizeof kPack - 1};\n"
               "}\n",
               out);
    return writer.commit();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (argc != (command == "owners" ? 3 : 4) || (command != "source" && command != "install" && command != "owners"))
        return usage();
    std::vector<tarvik::FactoryFile> files;
    if (!readFolder(argv[2], files)) return 1;
    if (command == "owners") {
        std::sort(files.begin(), files.end(), [](auto& a, auto& b) { return a.name < b.name; });
        for (const tarvik::FactoryFile& file : files)
            std::printf("%s\t%s\n", tarvik::belongsToUser(file.name) ? "user" : "program", file.name.c_str());
        return 0;
    }
    const std::vector<std::uint8_t> block = tarvik::packFactoryFiles(std::move(files));

    if (command == "source") {
        if (writeSource(block, argv[3])) return 0;
        std::fprintf(stderr, "tarvik-pack: cannot write %s\n", argv[3]);
        return 1;
    }
    std::string target = argv[3];
    if (!target.empty() && target.back() != '/') target += '/';
    const tarvik::FactoryPack pack(block);
    const tarvik::FactoryInstall done = tarvik::installFactoryFiles(pack, target);
    for (const std::string& name : done.written) std::printf("-- Installing: %s%s\n", target.c_str(), name.c_str());
    std::printf("-- %zu of %zu factory files written into %s; the others were there already\n", done.written.size(),
                pack.entries().size(), target.c_str());
    for (const std::string& name : done.failed) std::fprintf(stderr, "tarvik-pack: cannot write %s%s\n", target.c_str(), name.c_str());
    return done.failed.empty() ? 0 : 1;
}
