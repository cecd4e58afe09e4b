// The step the running sequencer plays, read off the built binary's panel:
// its digits against the skin's digit images.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "gui/skin_tags.h"
#include "gui/toolkit/bitmap.h"
#include "patch/parameters.h"
#include "tests/gui/editor_fixture.h"

namespace tarvik {
namespace {

namespace tag = gui::tag;

class PlayingStep : public test::EditorWindow {
protected:
    // What a digit display shows, read from the window's pixels against the
    // skin's digit images: a digit, or '-' for the unlit glass.
    std::string shown(int tagValue) {
        gui::SkinDefinition skin;
        EXPECT_TRUE(skin.parse((folder_.path() / "Tarvik.skn").string()));
        const int bitmap = skin.bitmapIndex(tagValue);
        EXPECT_GE(bitmap, 0);
        if (bitmap < 0) return {};
        if (!digits_)
            digits_ = gui::loadPng((folder_.path() / skin.bitmapFiles()[static_cast<std::size_t>(bitmap)]).string());
        EXPECT_TRUE(digits_.has_value());
        if (!digits_) return {};
        const gui::SkinRect r = skin.getRect(tagValue);
        const int left = static_cast<int>(std::lround(r.left));
        const int top = static_cast<int>(std::lround(r.top));
        const int height = static_cast<int>(std::lround(r.bottom - r.top));
        const int width = digits_->width();
        const int images = digits_->height() / height;
        const std::vector<std::uint32_t> pixels = window_.capture();
        std::string text;
        for (int cell = 0; cell * width < static_cast<int>(std::lround(r.right - r.left)); ++cell) {
            long best = -1;
            int bestImage = 0;
            for (int image = 0; image < images; ++image) {
                long difference = 0;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const std::uint32_t a =
                            pixels[static_cast<std::size_t>(top + y) * window_.width() + left + cell * width + x];
                        const std::uint32_t b = digits_->pixel(x, image * height + y);
                        difference += std::abs(host::red(a) - host::red(b)) +
                                      std::abs(host::green(a) - host::green(b)) +
                                      std::abs(host::blue(a) - host::blue(b));
                    }
                if (best < 0 || difference < best) {
                    best = difference;
                    bestImage = image;
                }
            }
            text += bestImage < 10 ? static_cast<char>('0' + bestImage) : '-';
        }
        return text;
    }

    void render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        float* out[2] = {left.data(), right.data()};
        plugin_.process(nullptr, out, frames);
    }

    std::optional<gui::Bitmap> digits_;
};

// Blocks shorter than a step (a step at 120 BPM is 5512.5 samples), each
// followed by the editor catching up: the display goes through the steps one
// by one, round the pattern's end, while STEP keeps showing the edit
// position; stopped, it is dark.
TEST_F(PlayingStep, TheDisplayFollowsTheRunningSequencerAndIsDarkWhenStopped) {
    TarvikPatch p;
    p.setState(state::MidiMode, 0);
    p.setParameter(param::Tempo, tempoToParameter(120.0));
    p.patterns[0].length = 6;
    for (Step& s : p.patterns[0].steps) s = {0, step::kGate};
    restore(p);
    open();
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(shown(tag::PlayingStepDisplay), "--");

    click(tag::RunStopButton);
    std::vector<std::string> seen;
    for (int block = 0; block < 500 && seen.size() < 9; ++block) {
        render(2048);
        ASSERT_TRUE(window_.catchUp());
        const std::string now = shown(tag::PlayingStepDisplay);
        if (seen.empty() || seen.back() != now) seen.push_back(now);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"01", "02", "03", "04", "05", "06", "01", "02", "03"}));
    EXPECT_EQ(shown(tag::StepDisplay), "01") << "the edit position stays where it was";

    click(tag::RunStopButton);
    render(256);
    ASSERT_TRUE(window_.catchUp());
    EXPECT_EQ(shown(tag::PlayingStepDisplay), "--");
}

// Skins drawn before the display existed lack it: they open as they are,
// and while the sequencer runs nothing is drawn over the background there.
TEST_F(PlayingStep, ASkinWithoutTheDisplayOpensAndShowsTheBackgroundThere) {
    const gui::SkinRect r = element(tag::PlayingStepDisplay);
    useSkin([](std::string text) {
        return std::regex_replace(text, std::regex("(^|\\n)PLAYINGSTEPDISPLAY[ \t][^\\n]*"), "$1");
    });
    ASSERT_EQ(test::readWholeFile(folder_.path() / "Changed.skn").find("PLAYINGSTEPDISPLAY"), std::string::npos);
    open();
    click(tag::RunStopButton);
    render(2048);
    ASSERT_TRUE(window_.catchUp());

    const std::optional<gui::Bitmap> background = gui::loadPng((folder_.path() / "Tarvik Skin/background.png").string());
    ASSERT_TRUE(background.has_value());
    const std::vector<std::uint32_t> pixels = window_.capture();
    int differing = 0;
    for (int y = static_cast<int>(r.top); y < static_cast<int>(r.bottom); ++y)
        for (int x = static_cast<int>(r.left); x < static_cast<int>(r.right); ++x)
            if ((pixels[static_cast<std::size_t>(y) * window_.width() + x] & 0xFFFFFF) !=
                (background->pixel(x, y) & 0xFFFFFF))
                ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace tarvik
