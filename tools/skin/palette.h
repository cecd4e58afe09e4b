// The panel's colours and type. One neutral dark-grey panel, one amber accent
// for everything that is "on", near-white text. Text styles live here beside
// the papers they are printed on, so that their contrast can be checked.
#pragma once

#include <array>

namespace tarvik::skin {

struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

constexpr Colour rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

constexpr Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

namespace palette {
// Papers: the surfaces text is printed on.
inline constexpr Colour kPanel = rgb(30, 32, 35);
inline constexpr Colour kHeader = rgb(22, 23, 25);
inline constexpr Colour kSection = rgb(45, 48, 52);
inline constexpr Colour kStrip = rgb(38, 40, 44);
// The brushed grain lifts a paper by at most this much on each channel.
inline constexpr double kGrain = 5.0 / 255.0;

inline constexpr Colour kSectionEdge = rgb(70, 74, 80);
inline constexpr Colour kRule = rgb(78, 83, 90);
inline constexpr Colour kText = rgb(204, 208, 213);
inline constexpr Colour kHeadingText = rgb(238, 240, 242);
inline constexpr Colour kAccent = rgb(255, 150, 46);
inline constexpr Colour kAccentDeep = rgb(214, 96, 22);
inline constexpr Colour kShadow = rgb(0, 0, 0);
}  // namespace palette

inline constexpr std::array kPapers = {palette::kPanel, palette::kHeader, palette::kSection, palette::kStrip};

struct TextStyle {
    double size = 9.0;  // pixels
    bool bold = false;
    double tracking = 0.0;  // extra pixels after each character
    Colour ink;
};

namespace type {
// Three sizes on the panel: 9 px labels, 11 px headings, the 26 px logo.
inline constexpr TextStyle kLabel{9.0, false, 0.25, palette::kText};
inline constexpr TextStyle kSubheading{9.0, true, 0.9, palette::kHeadingText};
inline constexpr TextStyle kHeading{11.0, true, 1.6, palette::kHeadingText};
inline constexpr TextStyle kMaker{11.0, false, 0.6, palette::kText};
inline constexpr TextStyle kLogo{26.0, true, 5.0, palette::kHeadingText};
}  // namespace type

inline constexpr std::array kPanelTextStyles = {type::kLabel, type::kSubheading, type::kHeading, type::kMaker,
                                                type::kLogo};

// WCAG relative luminance and contrast ratio of two sRGB colours.
double relativeLuminance(Colour colour);
double contrastRatio(Colour a, Colour b);
// A paper as light as its grain can make it: the worst case for light text.
Colour grainLifted(Colour paper);

}  // namespace tarvik::skin
