// Patches replaced on the host's GUI thread while its audio thread renders.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "tests/support/in_process_plugin.h"

namespace tarvik {
namespace {

using namespace vst;

// The host's GUI thread replaces patches while its audio thread renders and
// automation arrives from a third thread; nothing may be read after it was
// freed (AddressSanitizer) or read and written unguarded (ThreadSanitizer).
TEST(PatchReplacement, LoadsAndChunksWhileRenderingAreSafe) {
    test::ScopedDataFolder folder;
    test::InProcessPlugin host;
    host.start();
    Tarvik& plugin = host.plugin();
    TarvikPatch bass;
    bass.setState(state::RunStop, 1);
    const std::string path = (folder.path() / "Bass.tvkp").string();
    ASSERT_TRUE(writePatchFile(bass, path));
    std::vector<unsigned char> saved(kChunkSize);
    encodeChunk(bass, saved.data());

    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* out[2] = {left.data(), right.data()};
        AEffect* e = host.effect();
        while (!done.load()) e->processReplacing(e, nullptr, out, 256);
    });
    std::thread automation([&] {
        AEffect* e = host.effect();
        for (int i = 0; !done.load(); ++i) e->setParameter(e, i % 73, static_cast<float>(i % 100) / 100.0f);
    });
    for (int i = 0; i < 60; ++i) {
        if (i % 2)
            ASSERT_TRUE(plugin.control().loadPatchFile(path));
        else
            host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), saved.data());
    }
    done = true;
    audio.join();
    automation.join();
}

}  // namespace
}  // namespace tarvik
