// The fixed table of skin element names. A skin names each element by one of
// these words; the number beside it is the tag of the control made from it,
// which the control reports with every value change, so the editor switches
// on these numbers. Skins written for earlier versions rely on every name
// and number, so none of them ever changes.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace tarvik::gui {

inline constexpr int kNumSkinTags = 271;
inline constexpr std::size_t kMaxTagNameLength = 39;

namespace tag {
// Numbered runs (NOTEBUTTON1..13 and the like) give their first and last
// member here; the helpers below reach the others.
enum Id : int {
    // panel
    Background = 0,
    Splash = 100,
    MidiLed = 101,
    SyncSwitch = 102,
    ModeSwitch = 103,
    OptionMenu = 104,
    PatternMenu = 105,
    PatternDigits = 106,
    PatternRocker = 107,
    TempoDigits = 108,
    TempoRocker = 109,
    NoteSwitch = 110,
    OptionCables = 111,
    OptionMidiLearn = 112,
    OptionFilter = 113,
    OptionAux = 114,
    OptionPanic = 115,
    OptionInfo = 116,
    OptionMidiOut = 117,
    PatternLock = 118,
    PatternWriteProtect = 119,
    FilterDropdown = 120,
    PatternDropdown = 600,
    OptionDropdown = 601,
    // bass section
    Vco2ModSwitch = 200,
    TuningKnob = 201,
    CutoffKnob = 202,
    ResonanceKnob = 203,
    EnvModKnob = 204,
    VcfTrackingKnob = 205,
    AccentKnob = 206,
    BoostKnob = 207,
    DistortKnob = 208,
    VolumeKnob = 209,
    DistortionSwitch = 210,
    // sequencer
    NoteButton1 = 300,
    NoteButton13 = 312,
    PatternClearButton = 313,
    RunStopButton = 314,
    AutoAdvButton = 315,
    GateButton = 317,
    DownButton = 318,
    UpButton = 319,
    AccentButton = 320,
    SlideButton = 321,
    BackButton = 322,
    NextButton = 323,
    RunStopLed = 413,
    AutoAdvLed = 414,
    TimeModeLed = 415,
    DownLed = 416,
    UpLed = 417,
    AccentLed = 418,
    SlideLed = 419,
    NoteLed1 = 420,
    NoteLed36 = 455,
    StepsDigits = 500,
    StepsRocker = 501,
    StepDisplay = 502,
    PrescaleSwitch = 503,
    PlayingStepDisplay = 504,  // newer than the others: older skins lack it
    PitchKeyboard = 555,
    // cables and displays
    SmallArrow = 606,
    DispBackground = 607,
    ShadowBitmap = 608,
    CablePlug = 609,
    Socket1 = 610,
    Socket43 = 652,
    // buttons
    IlluButton1 = 700,
    IlluButton13 = 712,
    IlluButton14 = 714,
    IlluButton24 = 724,
    TripletButton = 725,
    FunctionButton1 = 800,
    FunctionButton2 = 801,
    FunctionLed1 = 802,
    FunctionLed2 = 803,
    PatchButton = 810,
    NextPatchButton = 811,
    PrevPatchButton = 812,
    // modulation section
    VcKnob1 = 900,
    VcKnob9 = 908,
    Attenuator1Switch = 910,
    Attenuator2Switch = 911,
    // oscillators
    Vco1Wave = 1000,
    Vco1Pw = 1001,
    Vco1Fm = 1002,
    Vco1Fine = 1003,
    Vco1Range = 1004,
    Vco1Led16 = 1005,
    Vco1Led8 = 1006,
    Vco1Led4 = 1007,
    Vco2Wave = 1008,
    Vco2Pw = 1009,
    Vco2Fm = 1010,
    Vco2Fine = 1011,
    Vco2Range = 1012,
    Vco2Led16 = 1013,
    Vco2Led8 = 1014,
    Vco2Led4 = 1015,
    // glide and gate
    GlideKnob = 1100,
    GateKnob = 1101,
    GateActiveLed = 1102,
    TriggerButton = 1103,
    TriggerSingle = 1104,
    TriggerMulti = 1105,
    // mixer
    Vco1Level = 1200,
    Vco2Level = 1201,
    NoiseLevel = 1202,
    AuxLevel = 1203,
    // modulation generator
    MgWave = 1300,
    MgFreq = 1301,
    MgAmount = 1302,
    MgRetrig = 1303,
    MgRetrigLed = 1304,
    MgAudioLed = 1305,
    MgVco1Dest = 1306,
    MgVco2Dest = 1307,
    MgVcfDest = 1308,
    MgVcaDest = 1309,
    MgPw1Dest = 1310,
    MgVco1Led = 1311,
    MgVco2Led = 1312,
    MgVcfLed = 1313,
    MgVcaLed = 1314,
    MgPw1Led = 1315,
    MgAudio = 1316,
    MgBpmSync = 1317,
    // noise, sync, accent
    NgColor = 1400,
    Sync12 = 1500,
    Sync21 = 1501,
    Sync12Led = 1502,
    Sync21Led = 1503,
    AccDecay = 1600,
    AccVolume = 1601,
    AccExt = 1602,
    AccManual = 1603,
    AccExtLed = 1604,
    // envelopes
    VcaAttack = 1700,
    VcaDecay = 1701,
    VcaSustain = 1702,
    VcaRelease = 1703,
    VcaTriggerLed = 1704,
    VcfAttack = 1800,
    VcfDecay = 1801,
    VcfSustain = 1802,
    VcfRelease = 1803,
    VcfTriggerLed = 1804,
    // delay
    DelayAmount = 1900,
    DelayFeedback = 1901,
    DelayLeft = 1902,
    DelayRight = 1903,
    DelayBpmSync = 1904,
    DelayLed = 1905,
    // phaser
    PhaserRate = 2000,
    PhaserAmount = 2001,
    PhaserDepth = 2002,
    PhaserActive = 2003,
};

// Members of the numbered runs, counted from 1 as the skin names them.
constexpr int noteButton(int n) { return NoteButton1 + n - 1; }
constexpr int noteLed(int n) { return NoteLed1 + n - 1; }
constexpr int socket(int n) { return Socket1 + n - 1; }
constexpr int vcKnob(int n) { return VcKnob1 + n - 1; }
// 713 was never given out: the second run starts at ILLUBUTTON14 = 714.
constexpr int illuButton(int n) { return n <= 13 ? IlluButton1 + n - 1 : IlluButton14 + n - 14; }
}  // namespace tag

struct SkinTag {
    std::array<char, kMaxTagNameLength + 1> text;  // upper case, NUL-terminated
    int tag;

    constexpr std::string_view name() const { return std::string_view(text.data()); }
};

// Every row, in no meaningful order: names are unique.
std::span<const SkinTag> skinTags();

// The numeric tag of a name, whatever its letter case; -1 for a word that
// names no element.
int findTag(std::string_view name);

}  // namespace tarvik::gui
