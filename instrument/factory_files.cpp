#include "instrument/factory_files.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "instrument/data_folder.h"
#include "patch/safe_file.h"

namespace tarvik {

namespace {

namespace fs = std::filesystem;

// Whether the file at path holds exactly the entry's bytes; read in pieces,
// so that checking the skin and the wavetables costs no large allocation.
bool holdsEntry(const std::string& path, const FactoryPack::Entry& entry) {
    std::error_code error;
    if (!fs::is_regular_file(path, error) || fs::file_size(path, error) != entry.size || error) return false;
    std::ifstream in(path, std::ios::binary);
    std::array<char, 64 * 1024> piece;
    std::uint32_t checksum = 0;
    while (in.read(piece.data(), piece.size()) || in.gcount() > 0)
        checksum = factoryChecksum({reinterpret_cast<const std::uint8_t*>(piece.data()),
                                    static_cast<std::size_t>(in.gcount())},
                                   checksum);
    return !in.bad() && checksum == entry.checksum;
}

bool writeEntry(const std::string& path, const FactoryPack::Entry& entry, bool asNew) {
    const auto bytes = FactoryPack::unpack(entry);
    if (!bytes) return false;
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    SafeFileWriter writer(path, SafeFileWriter::Content::Bytes);
    if (!writer.file()) return false;
    if (!bytes->empty()) std::fwrite(bytes->data(), 1, bytes->size(), writer.file());
    return asNew ? writer.commitAsNew() : writer.commit();
}

}  // namespace

bool isFactoryFile(std::string_view name) {
    return name != kControllerMapFile && name != kLastPatchFile && !name.ends_with(".tmp");
}

bool belongsToUser(std::string_view name) { return name.starts_with("Tarvik Patches/") || name.ends_with(".ini"); }

FactoryInstall installFactoryFiles(const FactoryPack& pack, const std::string& folder) {
    FactoryInstall result;
    for (const FactoryPack::Entry& entry : pack.entries()) {
        const std::string path = dataPath(folder, entry.name);
        const bool users = belongsToUser(entry.name);
        std::error_code error;
        // Whatever the user has under the name stays, even a link or a folder.
        if (users ? fs::exists(fs::symlink_status(path, error)) : holdsEntry(path, entry)) continue;
        if (writeEntry(path, entry, users))
            result.written.push_back(entry.name);
        else if (!users || !fs::exists(fs::symlink_status(path, error)))
            result.failed.push_back(entry.name);  // not merely a user's file that came first
    }
    return result;
}

void installFactoryFilesOnce(std::span<const std::uint8_t> block, const std::string& folder) {
    if (block.empty() || folder.empty() || std::getenv("TARVIK_NO_FACTORY_FILES")) return;
    // A static's initialisation runs once, and any other thread that reaches
    // it meanwhile waits until it is done.
    [[maybe_unused]] static const bool installed = (installFactoryFiles(FactoryPack(block), folder), true);
}

}  // namespace tarvik
