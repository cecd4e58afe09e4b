// The built binary's editor in a window of a test host on the X server of
// $DISPLAY, with a data folder holding what the installer puts there (the
// default skin, patches, wavetables). Tests act as a user: through the
// pointer and the keys, on the elements the default skin places.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "gui/skin_definition.h"
#include "patch/patch_chunk.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"
#include "tools/host/editor_window_host.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik::test {

// A skin's text without the line of one TAG name.
inline std::string withoutLine(const std::string& text, const std::string& tagName) {
    return std::regex_replace(text, std::regex("(^|\\n)" + tagName + "[ \t][^\\n]*"), "$1");
}

// A skin's text with another BACKGROUND size ("width, height").
inline std::string withBackgroundSize(const std::string& text, const std::string& size) {
    return std::regex_replace(text, std::regex("(\\nBACKGROUND[ \t]+\"[^\"]*\"\\s*,\\s*\\d+\\s*,\\s*\\d+\\s*,)[^\\n]*"),
                              "$1 " + size);
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/with-xvfb.sh";
        namespace fs = std::filesystem;
        fs::copy(TARVIK_BUILD_DATA_DIR, folder_.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        // The splash screen of a first open is a test of its own; the others
        // start from a panel at rest.
        const fs::path preferences = folder_.path() / "Gui.ini";
        writeWholeFile(preferences, std::regex_replace(readWholeFile(preferences), std::regex("ShowSplashSequence = 1"),
                                                       "ShowSplashSequence = 0"));
        std::string error;
        ASSERT_TRUE(plugin_.load(TARVIK_PLUGIN_PATH, error)) << error;
        plugin_.start();
        ASSERT_TRUE(window_.ready());
    }

    // Every wait for the editor came to its end.
    void TearDown() override { EXPECT_EQ(window_.timeouts(), 0) << "the editor never caught up or came to rest"; }

    void open() {
        std::string error;
        ASSERT_TRUE(window_.open(error)) << error;
    }

    struct Point {
        int x;
        int y;
    };

    // The default skin's rectangle of an element, in window pixels.
    gui::SkinRect element(int tagValue) const {
        gui::SkinDefinition skin;
        EXPECT_TRUE(skin.parse((folder_.path() / "Tarvik.skn").string()));
        return skin.getRect(tagValue);
    }
    Point centre(int tagValue) const {
        const gui::SkinRect r = element(tagValue);
        return {static_cast<int>((r.left + r.right) / 2), static_cast<int>((r.top + r.bottom) / 2)};
    }

    void click(int tagValue) {
        const Point p = centre(tagValue);
        window_.moveTo(p.x, p.y);
        window_.press();
        window_.release();
    }

    // The patch as the host would save it.
    TarvikPatch patch() {
        void* data = nullptr;
        const auto size = plugin_.dispatch(vst::effGetChunk, 0, 0, &data);
        TarvikPatch p;
        std::string path;
        EXPECT_TRUE(decodeChunk(p, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path));
        return p;
    }
    // Hands a patch over as a host restoring a project does.
    void restore(const TarvikPatch& p) {
        std::vector<unsigned char> chunk(kChunkSize);
        encodeChunk(p, chunk.data());
        plugin_.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    }

    // A copy of the default skin with its text changed, chosen in Gui.ini.
    void useSkin(const std::function<std::string(std::string)>& change) {
        const std::string text = readWholeFile(folder_.path() / "Tarvik.skn");
        writeWholeFile(folder_.path() / "Changed.skn", change(text));
        writeWholeFile(folder_.path() / "Gui.ini", "Skin = \"Changed.skn\"\n");
    }

    float parameter(int index) { return plugin_.effect()->getParameter(plugin_.effect(), index); }
    void setParameter(int index, float value) { plugin_.effect()->setParameter(plugin_.effect(), index, value); }

    // Renders audio as the host's audio thread does; answers the left channel.
    std::vector<float> render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        constexpr int kBlock = 256;
        for (int done = 0; done < frames; done += kBlock) {
            float* out[2] = {left.data() + done, right.data() + done};
            plugin_.process(nullptr, out, std::min(kBlock, frames - done));
        }
        return left;
    }

    ScopedDataFolder folder_;
    host::HostedPlugin plugin_;
    host::EditorWindowHost window_{plugin_};
};

}  // namespace tarvik::test
