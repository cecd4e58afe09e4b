// The default skin's layout: one table of panel elements. Each row names a
// skin TAG, its numeric tag, its rectangle, the picture that draws it, the
// panel group it belongs to and where its label goes. The skin file, the
// section frames and every printed label are produced from this table.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "tools/skin/geometry.h"

namespace tarvik::skin {

inline constexpr Rect kPanelRect{0, 0, 1280, 800};
inline constexpr int kGrid = 8;
inline constexpr int kMargin = 8;  // panel edge to the outermost frames
inline constexpr int kHeaderHeight = 48;

// Fixed by the editor's pitch keyboard: three octaves of seven white keys.
inline constexpr int kWhiteKeyWidth = 19;
inline constexpr int kOctaveWidth = 133;
inline constexpr int kBlackKeyWidth = 12;
inline constexpr int kBlackKeyDepth = 69;
inline constexpr int kKeyboardOctaves = 3;
inline constexpr int kKeyboardWidth = kKeyboardOctaves * kOctaveWidth;
inline constexpr int kKeyboardKeys = kKeyboardOctaves * 12;
// Left edges of the five black keys within an octave, C# D# F# G# A#.
inline constexpr std::array<int, 5> kBlackKeyLeft = {12, 31, 69, 88, 107};

// One digit of a digit display; a display is digits x this wide. The
// digits picture holds 0 to 9, then the unlit glass that the playing-step
// display shows while the sequencer stands still.
inline constexpr int kDigitWidth = 16;
inline constexpr int kDarkDigit = 10;
inline constexpr int kKnobFrames = 101;

enum class Picture {
    Empty,  // a place on the panel without a picture
    Background,
    KnobLarge,
    KnobLargeCentred,
    KnobSmall,
    KnobSmallCentred,
    Led,
    Button,
    StepButton,
    Toggle,
    MenuButton,
    PreviousButton,
    NextButton,
    PatchName,
    Rocker,
    LeverSwitch,
    TimeModeSwitch,
    Digits,
    Keyboard,
    Socket,
    TripletButton,
    DisplayBox,
    PlugShadow,
    CablePlug,
    SmallArrow,
    Splash,
};

struct PictureInfo {
    Picture picture;
    const char* file;  // relative to the data folder, as the skin file names it
    int frames;        // images stacked top to bottom
    int frameWidth;    // 0: the element's width
};

const PictureInfo& pictureInfo(Picture picture);
std::span<const PictureInfo> pictures();

// Panel groups. A section is framed and headed; a part of a section may carry
// a subheading over its controls; the header bar and floating elements have
// no frame.
enum class Group {
    Header,
    Floating,
    Oscillators,
    Vco1,
    Vco2,
    Mixer,
    Filter,
    Envelopes,
    VcfEnvelope,
    VcaEnvelope,
    Modulation,
    MgDestinations,
    GlideGate,
    Accent,
    Delay,
    PatchField,
    Follower,
    Attenuator1,
    Attenuator2,
    Sequencer,
};

struct GroupInfo {
    Group group;
    Group section;        // itself for a section, Header, Floating
    const char* heading;  // nullptr: none
    // Words of a parameter name that the heading already says, left out of
    // the labels of the group's controls ("VCO-1 Fine Tune" under VCO-1 reads
    // "FINE TUNE").
    std::array<std::string_view, 5> impliedWords;
};

const GroupInfo& groupInfo(Group group);
bool isSection(Group group);

enum class Caption { None, Below, Above, Right, Left };

struct Element {
    const char* tag;
    int id;  // numeric tag; a parameter's control id where the control shows one
    Rect rect;
    Picture picture;
    Group group;
    Caption caption = Caption::Below;
    // Label of a control that shows no parameter and is no socket.
    const char* text = nullptr;
    // Switch position names, "|"-separated, printed beside each position.
    const char* positions = nullptr;
};

std::span<const Element> panelElements();
const Element* findElement(std::string_view tag);

// Elements that draw nothing themselves or float over the panel: the
// background, the menus' drop-down places, the splash screen and the cable
// layer's pictures. Everything else is a control with its own place.
bool isOverlay(const Element& element);

// The patch socket an element stands for, or -1.
int socketIndex(const Element& element);

}  // namespace tarvik::skin
