#include "tools/skin/layout.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarvik::skin {

namespace {

// Control sizes. Sizes that are multiples of 16 keep a centred LED or button
// on the 8-pixel grid.
constexpr int kLargeKnob = 64;
constexpr int kSmallKnob = 48;
constexpr int kLed = 16;

constexpr Rect largeKnob(int x, int y) { return {x, y, kLargeKnob, kLargeKnob}; }
constexpr Rect smallKnob(int x, int y) { return {x, y, kSmallKnob, kSmallKnob}; }
constexpr Rect led(int x, int y) { return {x, y, kLed, kLed}; }
constexpr Rect button(int x, int y) { return {x, y, 32, 16}; }
constexpr Rect stepButton(int x, int y) { return {x, y, 48, 24}; }
constexpr Rect digits(int x, int y, int count) { return {x, y, count * kDigitWidth, 32}; }
constexpr Rect rocker(int x, int y) { return {x, y, 24, 48}; }
constexpr Rect lever(int x, int y) { return {x, y, 16, 32}; }

// The patch field: six columns of sockets, each with its name beside it, on
// rows 32 pixels apart; a utility module's two knobs fill two rows of its column.
constexpr int kPatchLeft = 648;
constexpr int kPatchTop = 288;
constexpr int kPatchColumn = 104;
constexpr int kPatchRow = 32;
constexpr int kSocketSize = 24;

constexpr Rect patchSocket(int column, int row) {
    return {kPatchLeft + column * kPatchColumn, kPatchTop + row * kPatchRow, kSocketSize, kSocketSize};
}
constexpr Rect patchKnob(int column, int row, int side) {
    return smallKnob(kPatchLeft + column * kPatchColumn + side * kSmallKnob, kPatchTop + row * kPatchRow);
}

// The sequencer keyboard and the note LEDs over its keys: one LED row over
// the black keys and one over the white keys, each LED centred on its key.
constexpr int kKeyboardLeft = 416;
constexpr int kKeyboardTop = 688;
constexpr int kBlackLedTop = 648;
constexpr int kWhiteLedTop = 664;
constexpr std::array<int, 12> kKeyCentre = {10, 18, 29, 37, 48, 67, 75, 86, 94, 105, 113, 124};
constexpr std::array<bool, 12> kBlackKey = {false, true,  false, true,  false, false,
                                            true,  false, true,  false, true,  false};

constexpr Rect noteLed(int key) {
    const int semitone = key % 12;
    return led(kKeyboardLeft + (key / 12) * kOctaveWidth + kKeyCentre[static_cast<std::size_t>(semitone)] - kLed / 2,
               kBlackKey[static_cast<std::size_t>(semitone)] ? kBlackLedTop : kWhiteLedTop);
}

constexpr PictureInfo kPictures[] = {
    {Picture::Empty, "", 0, 0},
    {Picture::Background, "Tarvik Skin/background.png", 1, 0},
    {Picture::KnobLarge, "Tarvik Skin/knob_large.png", kKnobFrames, 0},
    {Picture::KnobLargeCentred, "Tarvik Skin/knob_large_centred.png", kKnobFrames, 0},
    {Picture::KnobSmall, "Tarvik Skin/knob_small.png", kKnobFrames, 0},
    {Picture::KnobSmallCentred, "Tarvik Skin/knob_small_centred.png", kKnobFrames, 0},
    {Picture::Led, "Tarvik Skin/led.png", 2, 0},
    {Picture::Button, "Tarvik Skin/button.png", 2, 0},
    {Picture::StepButton, "Tarvik Skin/button_step.png", 2, 0},
    {Picture::Toggle, "Tarvik Skin/toggle.png", 2, 0},
    {Picture::MenuButton, "Tarvik Skin/button_menu.png", 2, 0},
    {Picture::PreviousButton, "Tarvik Skin/button_previous.png", 2, 0},
    {Picture::NextButton, "Tarvik Skin/button_next.png", 2, 0},
    {Picture::PatchName, "Tarvik Skin/patch_name.png", 2, 0},
    {Picture::Rocker, "Tarvik Skin/rocker.png", 3, 0},
    {Picture::LeverSwitch, "Tarvik Skin/switch_lever.png", 2, 0},
    {Picture::TimeModeSwitch, "Tarvik Skin/switch_time_mode.png", 4, 0},
    {Picture::Digits, "Tarvik Skin/digits.png", kDarkDigit + 1, kDigitWidth},
    {Picture::Keyboard, "Tarvik Skin/keyboard.png", 4, 0},
    {Picture::Socket, "Tarvik Skin/socket.png", 2, 0},
    {Picture::TripletButton, "Tarvik Skin/button_triplet.png", 2, 0},
    {Picture::DisplayBox, "Tarvik Skin/display.png", 1, 0},
    {Picture::PlugShadow, "Tarvik Skin/plug_shadow.png", 1, 0},
    {Picture::CablePlug, "cordplug.png", 1, 0},
    {Picture::SmallArrow, "Tarvik Skin/small_arrow.png", 8, 0},
    {Picture::Splash, "splashscreen.png", 1, 0},
};

constexpr GroupInfo kGroups[] = {
    {Group::Header, Group::Header, nullptr, {}},
    {Group::Floating, Group::Floating, nullptr, {}},
    {Group::Oscillators, Group::Oscillators, "OSCILLATORS", {}},
    {Group::Vco1, Group::Oscillators, "VCO-1", {"VCO-1"}},
    {Group::Vco2, Group::Oscillators, "VCO-2", {"VCO-2"}},
    {Group::Mixer, Group::Mixer, "MIXER", {"LEVEL"}},
    {Group::Filter, Group::Filter, "FILTER", {"FILTER", "MASTER", "VCO", "VCO-1&2", "AMOUNT"}},
    {Group::Envelopes, Group::Envelopes, "ENVELOPES", {}},
    {Group::VcfEnvelope, Group::Envelopes, "VCF", {"VCF"}},
    {Group::VcaEnvelope, Group::Envelopes, "VCA", {"VCA"}},
    {Group::Modulation, Group::Modulation, "MODULATION", {"MG", "DEST"}},
    {Group::MgDestinations, Group::Modulation, "DESTINATION", {"MG", "DEST"}},
    {Group::GlideGate, Group::GlideGate, "GLIDE / GATE", {"TIME", "MODE"}},
    {Group::Accent, Group::Accent, "ACCENT", {"ACCENT"}},
    {Group::Delay, Group::Delay, "DELAY", {"DELAY"}},
    {Group::PatchField, Group::PatchField, "PATCH FIELD", {}},
    {Group::Follower, Group::PatchField, nullptr, {"ENV", "FOLLOW"}},
    {Group::Attenuator1, Group::PatchField, nullptr, {"OUTPUT"}},
    {Group::Attenuator2, Group::PatchField, nullptr, {"OUTPUT", "TIME"}},
    {Group::Sequencer, Group::Sequencer, "SEQUENCER", {}},
};

// The pattern's time modes as step-rate factors, one per switch position.
constexpr const char* kStepRates = "\u00d71|\u00d72|\u00d70.75|\u00d71.5";

using enum Picture;
using enum Caption;
constexpr Group kHeader = Group::Header;
constexpr Group kFloating = Group::Floating;
constexpr Group kOscillators = Group::Oscillators;
constexpr Group kVco1 = Group::Vco1;
constexpr Group kVco2 = Group::Vco2;
constexpr Group kMixer = Group::Mixer;
constexpr Group kFilter = Group::Filter;
constexpr Group kVcf = Group::VcfEnvelope;
constexpr Group kVca = Group::VcaEnvelope;
constexpr Group kModulation = Group::Modulation;
constexpr Group kDestinations = Group::MgDestinations;
constexpr Group kGlideGate = Group::GlideGate;
constexpr Group kAccent = Group::Accent;
constexpr Group kDelay = Group::Delay;
constexpr Group kPatch = Group::PatchField;
constexpr Group kFollower = Group::Follower;
constexpr Group kAttenuator1 = Group::Attenuator1;
constexpr Group kAttenuator2 = Group::Attenuator2;
constexpr Group kSequencer = Group::Sequencer;

constexpr Element kElements[] = {
    // The panel and what floats over it.
    {"BACKGROUND", 0, kPanelRect, Background, kFloating, None},
    {"SPLASH", 100, {440, 280, 400, 240}, Splash, kFloating, None},
    {"SHADOWBITMAP", 608, {0, 0, 32, 32}, PlugShadow, kFloating, None},
    {"CORDPLUG", 609, {0, 0, 24, 24}, CablePlug, kFloating, None},
    {"OPTIONDROPDOWN", 601, {744, 24, 200, 16}, Empty, kFloating, None},
    {"FILTERDROPDOWN", 120, {936, 24, 160, 16}, Empty, kFloating, None},
    {"PATTERNDROPDOWN", 600, {24, 760, 200, 16}, Empty, kFloating, None},
    {"SMALLARROW", 606, {760, 272, 16, 16}, SmallArrow, kFloating, None},

    // Header bar: patch selection and the option buttons.
    {"DISPBACKGROUND", 607, {192, 8, 160, 40}, DisplayBox, kHeader, None},
    {"PREVPATCHBUTTON", 812, {416, 8, 24, 24}, PreviousButton, kHeader, Left, "PATCH"},
    {"PATCHBUTTON", 810, {448, 8, 240, 24}, PatchName, kHeader, None},
    {"NEXTPATCHBUTTON", 811, {696, 8, 24, 24}, NextButton, kHeader, None},
    {"OPTIONMENU", 104, button(744, 8), MenuButton, kHeader, Below, "OPTIONS"},
    {"OPTIONCABLES", 111, button(808, 8), Toggle, kHeader, Below, "CABLES"},
    {"OPTIONMIDILEARN", 112, button(872, 8), Toggle, kHeader, Below, "MIDI LEARN"},
    {"OPTIONFILTER", 113, button(936, 8), Button, kHeader, Below, "FILTER"},
    {"OPTIONINFO", 116, button(1000, 8), Toggle, kHeader, Below, "INFO"},
    {"OPTIONPANIC", 115, button(1064, 8), Button, kHeader, Below, "PANIC"},
    {"MIDILED", 101, led(1136, 8), Led, kHeader, Below, "MIDI"},

    // Oscillators: one row per VCO, ring and sync between them on the right.
    {"VCO1WAVE", 1000, smallKnob(24, 96), KnobSmall, kVco1},
    {"VCO1PW", 1001, smallKnob(88, 96), KnobSmall, kVco1},
    {"VCO1FM", 1002, smallKnob(152, 96), KnobSmall, kVco1},
    {"VCO1FINE", 1003, smallKnob(216, 96), KnobSmallCentred, kVco1},
    {"VCO1LED16", 1005, led(288, 96), Led, kVco1, Above, "16\u2032"},
    {"VCO1LED8", 1006, led(312, 96), Led, kVco1, Above, "8\u2032"},
    {"VCO1LED4", 1007, led(336, 96), Led, kVco1, Above, "4\u2032"},
    {"VCO1RANGE", 1004, button(304, 128), Button, kVco1},
    {"VCO2WAVE", 1008, smallKnob(24, 184), KnobSmall, kVco2},
    {"VCO2PW", 1009, smallKnob(88, 184), KnobSmall, kVco2},
    {"VCO2FM", 1010, smallKnob(152, 184), KnobSmall, kVco2},
    {"VCO2FINE", 1011, smallKnob(216, 184), KnobSmallCentred, kVco2},
    {"VCO2LED16", 1013, led(288, 184), Led, kVco2, Above, "16\u2032"},
    {"VCO2LED8", 1014, led(312, 184), Led, kVco2, Above, "8\u2032"},
    {"VCO2LED4", 1015, led(336, 184), Led, kVco2, Above, "4\u2032"},
    {"VCO2RANGE", 1012, button(304, 216), Button, kVco2},
    {"SYNC12LED", 1502, led(376, 96), Led, kOscillators, None},
    {"SYNC12", 1500, button(368, 128), Button, kOscillators},
    {"SYNC21LED", 1503, led(376, 184), Led, kOscillators, None},
    {"SYNC21", 1501, button(368, 216), Button, kOscillators},

    // Mixer.
    {"VCO1LEVEL", 1200, smallKnob(448, 96), KnobSmall, kMixer},
    {"VCO2LEVEL", 1201, smallKnob(512, 96), KnobSmall, kMixer},
    {"OPTIONAUX", 114, button(584, 128), Toggle, kMixer, Below, "AUX IN"},
    {"NOISELEVEL", 1202, smallKnob(448, 184), KnobSmall, kMixer},
    {"NGCOLOR", 1400, smallKnob(512, 184), KnobSmall, kMixer},
    {"AUXLEVEL", 1203, smallKnob(576, 184), KnobSmall, kMixer},

    // Filter: the bass section's large knobs.
    {"TUNINGKNOB", 201, largeKnob(656, 80), KnobLargeCentred, kFilter},
    {"CUTOFFKNOB", 202, largeKnob(728, 80), KnobLarge, kFilter},
    {"RESONANCEKNOB", 203, largeKnob(800, 80), KnobLarge, kFilter},
    {"ENVMODKNOB", 204, largeKnob(872, 80), KnobLarge, kFilter},
    {"ACCENTKNOB", 206, largeKnob(944, 80), KnobLarge, kFilter},
    {"DISTORTIONSWITCH", 210, button(672, 168), Toggle, kFilter, Below, "DISTORTION"},
    {"VCO2MODSWITCH", 200, button(672, 216), Toggle, kFilter},
    {"VCFTRACKINGKNOB", 205, largeKnob(728, 168), KnobLarge, kFilter},
    {"BOOSTKNOB", 207, largeKnob(800, 168), KnobLarge, kFilter},
    {"DISTORTKNOB", 208, largeKnob(872, 168), KnobLarge, kFilter},
    {"VOLUMEKNOB", 209, largeKnob(944, 168), KnobLarge, kFilter},

    // Envelopes: filter first, then amplifier, each with its trigger LED on
    // the line of its subheading.
    {"VCFATTACK", 1800, smallKnob(1032, 96), KnobSmall, kVcf},
    {"VCFDECAY", 1801, smallKnob(1088, 96), KnobSmall, kVcf},
    {"VCFSUSTAIN", 1802, smallKnob(1144, 96), KnobSmall, kVcf},
    {"VCFRELEASE", 1803, smallKnob(1200, 96), KnobSmall, kVcf},
    {"VCFTRIGGERLED", 1804, led(1232, 80), Led, kVcf, Left, "TRIG"},
    {"VCAATTACK", 1700, smallKnob(1032, 184), KnobSmall, kVca},
    {"VCADECAY", 1701, smallKnob(1088, 184), KnobSmall, kVca},
    {"VCASUSTAIN", 1702, smallKnob(1144, 184), KnobSmall, kVca},
    {"VCARELEASE", 1703, smallKnob(1200, 184), KnobSmall, kVca},
    {"VCATRIGGERLED", 1704, led(1232, 168), Led, kVca, Left, "TRIG"},

    // Modulation generator.
    {"MGWAVE", 1300, smallKnob(24, 288), KnobSmall, kModulation},
    {"MGFREQ", 1301, smallKnob(88, 288), KnobSmall, kModulation},
    {"MGAMOUNT", 1302, smallKnob(152, 288), KnobSmall, kModulation},
    {"MGVCO1LED", 1311, led(32, 400), Led, kDestinations, None},
    {"MGVCO2LED", 1312, led(72, 400), Led, kDestinations, None},
    {"MGVCFLED", 1313, led(112, 400), Led, kDestinations, None},
    {"MGVCALED", 1314, led(152, 400), Led, kDestinations, None},
    {"MGPW1LED", 1315, led(192, 400), Led, kDestinations, None},
    {"MGVCO1DEST", 1306, button(24, 424), Button, kDestinations},
    {"MGVCO2DEST", 1307, button(64, 424), Button, kDestinations},
    {"MGVCFDEST", 1308, button(104, 424), Button, kDestinations},
    {"MGVCADEST", 1309, button(144, 424), Button, kDestinations},
    {"MGPW1DEST", 1310, button(184, 424), Button, kDestinations},
    {"MGRETRIGLED", 1304, led(32, 480), Led, kModulation, None},
    {"MGRETRIG", 1303, button(24, 504), Button, kModulation},
    {"MGAUDIOLED", 1305, led(96, 480), Led, kModulation, None},
    {"MGAUDIO", 1316, button(88, 504), Button, kModulation},
    {"MGBPMSYNC", 1317, button(152, 504), Toggle, kModulation},

    // Glide and gate.
    {"GLIDEKNOB", 1100, smallKnob(248, 288), KnobSmall, kGlideGate},
    {"GATEKNOB", 1101, smallKnob(304, 288), KnobSmall, kGlideGate},
    {"TRIGGERSINGLE", 1104, led(264, 400), Led, kGlideGate, Above, "SINGLE"},
    {"TRIGGERMULTI", 1105, led(328, 400), Led, kGlideGate, Above, "MULTI"},
    {"TRIGGERBUTTON", 1103, button(288, 424), Button, kGlideGate},
    {"GATEACTIVELED", 1102, led(296, 504), Led, kGlideGate, Below, "ACTIVE"},

    // Accent.
    {"ACCDECAY", 1600, smallKnob(384, 288), KnobSmall, kAccent},
    {"ACCVOLUME", 1601, smallKnob(440, 288), KnobSmall, kAccent},
    {"ACCEXTLED", 1604, led(424, 400), Led, kAccent, Above, "EXT"},
    {"ACCMANUAL", 1603, button(416, 424), Button, kAccent},

    // Delay.
    {"DELAYAMOUNT", 1900, smallKnob(512, 288), KnobSmall, kDelay},
    {"DELAYFEEDBACK", 1901, smallKnob(568, 288), KnobSmall, kDelay},
    {"DELAYLEFT", 1902, smallKnob(512, 392), KnobSmall, kDelay},
    {"DELAYRIGHT", 1903, smallKnob(568, 392), KnobSmall, kDelay},
    {"DELAYBPMSYNC", 1904, button(520, 504), Toggle, kDelay},
    {"DELAYLED", 1905, led(584, 504), Led, kDelay, Below, "ACTIVE"},

    // Patch field, by module: sequencer and MIDI outputs; oscillator and
    // mixer inputs; filter, amplifier and envelopes; MG, delay and envelope
    // follower; the two attenuators, each with an inverter below.
    {"SOCKET12", 621, patchSocket(0, 0), Socket, kPatch, Right},
    {"SOCKET13", 622, patchSocket(0, 1), Socket, kPatch, Right},
    {"SOCKET14", 623, patchSocket(0, 2), Socket, kPatch, Right},
    {"SOCKET15", 624, patchSocket(0, 4), Socket, kPatch, Right},
    {"SOCKET16", 625, patchSocket(0, 5), Socket, kPatch, Right},
    {"SOCKET40", 649, patchSocket(0, 6), Socket, kPatch, Right},
    {"SOCKET42", 651, patchSocket(0, 7), Socket, kPatch, Right},
    {"SOCKET1", 610, patchSocket(1, 0), Socket, kPatch, Right},
    {"SOCKET2", 611, patchSocket(1, 1), Socket, kPatch, Right},
    {"SOCKET37", 646, patchSocket(1, 2), Socket, kPatch, Right},
    {"SOCKET38", 647, patchSocket(1, 3), Socket, kPatch, Right},
    {"SOCKET3", 612, patchSocket(1, 5), Socket, kPatch, Right},
    {"SOCKET4", 613, patchSocket(1, 6), Socket, kPatch, Right},
    {"SOCKET39", 648, patchSocket(1, 7), Socket, kPatch, Right},
    {"SOCKET6", 615, patchSocket(1, 8), Socket, kPatch, Right},
    {"SOCKET35", 644, patchSocket(2, 0), Socket, kPatch, Right},
    {"SOCKET36", 645, patchSocket(2, 1), Socket, kPatch, Right},
    {"SOCKET7", 616, patchSocket(2, 2), Socket, kPatch, Right},
    {"SOCKET9", 618, patchSocket(2, 4), Socket, kPatch, Right},
    {"SOCKET20", 629, patchSocket(2, 5), Socket, kPatch, Right},
    {"SOCKET8", 617, patchSocket(2, 6), Socket, kPatch, Right},
    {"SOCKET19", 628, patchSocket(2, 7), Socket, kPatch, Right},
    {"SOCKET5", 614, patchSocket(3, 0), Socket, kPatch, Right},
    {"SOCKET17", 626, patchSocket(3, 1), Socket, kPatch, Right},
    {"SOCKET18", 627, patchSocket(3, 2), Socket, kPatch, Right},
    {"SOCKET10", 619, patchSocket(3, 4), Socket, kPatch, Right},
    {"SOCKET11", 620, patchSocket(3, 5), Socket, kPatch, Right},
    {"SOCKET21", 630, patchSocket(3, 7), Socket, kPatch, Right},
    {"VCKNOB1", 900, patchKnob(3, 8, 0), KnobSmall, kFollower},
    {"VCKNOB2", 901, patchKnob(3, 8, 1), KnobSmall, kFollower},
    {"SOCKET22", 631, patchSocket(4, 0), Socket, kPatch, Right},
    {"SOCKET23", 632, patchSocket(4, 1), Socket, kPatch, Right},
    {"SOCKET24", 633, patchSocket(4, 2), Socket, kPatch, Right},
    {"SOCKET25", 634, patchSocket(4, 3), Socket, kPatch, Right},
    {"SOCKET41", 650, patchSocket(4, 4), Socket, kPatch, Right},
    {"VCKNOB3", 902, patchKnob(4, 5, 0), KnobSmall, kAttenuator1},
    {"VCKNOB4", 903, patchKnob(4, 5, 1), KnobSmallCentred, kAttenuator1},
    {"SOCKET26", 635, patchSocket(4, 8), Socket, kPatch, Right},
    {"SOCKET27", 636, patchSocket(4, 9), Socket, kPatch, Right},
    {"SOCKET30", 639, patchSocket(5, 0), Socket, kPatch, Right},
    {"SOCKET31", 640, patchSocket(5, 1), Socket, kPatch, Right},
    {"SOCKET32", 641, patchSocket(5, 2), Socket, kPatch, Right},
    {"SOCKET33", 642, patchSocket(5, 3), Socket, kPatch, Right},
    {"SOCKET34", 643, patchSocket(5, 4), Socket, kPatch, Right},
    {"VCKNOB5", 904, patchKnob(5, 5, 0), KnobSmall, kAttenuator2},
    {"VCKNOB6", 905, patchKnob(5, 5, 1), KnobSmall, kAttenuator2},
    {"SOCKET28", 637, patchSocket(5, 8), Socket, kPatch, Right},
    {"SOCKET29", 638, patchSocket(5, 9), Socket, kPatch, Right},

    // Sequencer strip: pattern, tempo and the running sequence on the left,
    // the keyboard with its note LEDs in the middle, step programming on the
    // right.
    {"PATTERNDIGITS", 106, digits(24, 656, 3), Digits, kSequencer, Below, "PATTERN"},
    {"PATTERNROCKER", 107, rocker(80, 648), Rocker, kSequencer, None},
    {"TEMPODIGITS", 108, digits(128, 656, 3), Digits, kSequencer, Below, "TEMPO"},
    {"TEMPOROCKER", 109, rocker(184, 648), Rocker, kSequencer, None},
    {"PLAYINGSTEPDISPLAY", 504, digits(232, 656, 2), Digits, kSequencer, Below, "PLAYING"},
    {"RUNSTOPLED", 413, led(296, 648), Led, kSequencer, None},
    {"B_RUNSTOP", 314, stepButton(280, 672), StepButton, kSequencer, Below, "RUN/STOP"},
    {"B_PATTERNCLEAR", 313, stepButton(344, 672), StepButton, kSequencer, Below, "CLEAR"},
    {"PATTERNMENU", 105, button(24, 744), MenuButton, kSequencer, Below, "MENU"},
    {"PATTERNLOCK", 118, button(72, 744), Toggle, kSequencer, Below, "LOCK"},
    {"PATTERNWRITEPROTECT", 119, button(120, 744), Toggle, kSequencer, Below, "PROTECT"},
    {"SYNCSWITCH", 102, lever(176, 728), LeverSwitch, kSequencer, Below, "SYNC", "INT|HOST"},
    {"MODESWITCH", 103, lever(240, 728), LeverSwitch, kSequencer, Below, "MIDI", "PATTERN|SYNTH"},
    {"NOTESWITCH", 110, lever(320, 728), LeverSwitch, kSequencer, Below, "NOTES", "MONO|POLY"},
    {"PITCHKEYBOARD", 555, {kKeyboardLeft, kKeyboardTop, kKeyboardWidth, 96}, Keyboard, kSequencer, None},
    {"NOTELED1", 420, noteLed(0), Led, kSequencer, None},
    {"NOTELED2", 421, noteLed(1), Led, kSequencer, None},
    {"NOTELED3", 422, noteLed(2), Led, kSequencer, None},
    {"NOTELED4", 423, noteLed(3), Led, kSequencer, None},
    {"NOTELED5", 424, noteLed(4), Led, kSequencer, None},
    {"NOTELED6", 425, noteLed(5), Led, kSequencer, None},
    {"NOTELED7", 426, noteLed(6), Led, kSequencer, None},
    {"NOTELED8", 427, noteLed(7), Led, kSequencer, None},
    {"NOTELED9", 428, noteLed(8), Led, kSequencer, None},
    {"NOTELED10", 429, noteLed(9), Led, kSequencer, None},
    {"NOTELED11", 430, noteLed(10), Led, kSequencer, None},
    {"NOTELED12", 431, noteLed(11), Led, kSequencer, None},
    {"NOTELED13", 432, noteLed(12), Led, kSequencer, None},
    {"NOTELED14", 433, noteLed(13), Led, kSequencer, None},
    {"NOTELED15", 434, noteLed(14), Led, kSequencer, None},
    {"NOTELED16", 435, noteLed(15), Led, kSequencer, None},
    {"NOTELED17", 436, noteLed(16), Led, kSequencer, None},
    {"NOTELED18", 437, noteLed(17), Led, kSequencer, None},
    {"NOTELED19", 438, noteLed(18), Led, kSequencer, None},
    {"NOTELED20", 439, noteLed(19), Led, kSequencer, None},
    {"NOTELED21", 440, noteLed(20), Led, kSequencer, None},
    {"NOTELED22", 441, noteLed(21), Led, kSequencer, None},
    {"NOTELED23", 442, noteLed(22), Led, kSequencer, None},
    {"NOTELED24", 443, noteLed(23), Led, kSequencer, None},
    {"NOTELED25", 444, noteLed(24), Led, kSequencer, None},
    {"NOTELED26", 445, noteLed(25), Led, kSequencer, None},
    {"NOTELED27", 446, noteLed(26), Led, kSequencer, None},
    {"NOTELED28", 447, noteLed(27), Led, kSequencer, None},
    {"NOTELED29", 448, noteLed(28), Led, kSequencer, None},
    {"NOTELED30", 449, noteLed(29), Led, kSequencer, None},
    {"NOTELED31", 450, noteLed(30), Led, kSequencer, None},
    {"NOTELED32", 451, noteLed(31), Led, kSequencer, None},
    {"NOTELED33", 452, noteLed(32), Led, kSequencer, None},
    {"NOTELED34", 453, noteLed(33), Led, kSequencer, None},
    {"NOTELED35", 454, noteLed(34), Led, kSequencer, None},
    {"NOTELED36", 455, noteLed(35), Led, kSequencer, None},
    {"DOWNLED", 416, led(856, 648), Led, kSequencer, None},
    {"B_DOWN", 318, stepButton(840, 672), StepButton, kSequencer, Below, "DOWN"},
    {"UPLED", 417, led(912, 648), Led, kSequencer, None},
    {"B_UP", 319, stepButton(896, 672), StepButton, kSequencer, Below, "UP"},
    {"ACCENTLED", 418, led(968, 648), Led, kSequencer, None},
    {"B_ACCENT", 320, stepButton(952, 672), StepButton, kSequencer, Below, "ACCENT"},
    {"SLIDELED", 419, led(1024, 648), Led, kSequencer, None},
    {"B_SLIDE", 321, stepButton(1008, 672), StepButton, kSequencer, Below, "SLIDE"},
    {"TIMEMODELED", 415, led(1080, 648), Led, kSequencer, None},
    {"B_TIMEMODE", 317, stepButton(1064, 672), StepButton, kSequencer, Below, "GATE"},
    {"B_BACK", 322, stepButton(1144, 672), StepButton, kSequencer, Below, "BACK"},
    {"B_NEXT", 323, stepButton(1200, 672), StepButton, kSequencer, Below, "NEXT"},
    {"STEPDISPLAY", 502, digits(840, 736, 2), Digits, kSequencer, Below, "STEP"},
    {"STEPSDIGITS", 500, digits(896, 736, 2), Digits, kSequencer, Below, "LENGTH"},
    {"STEPSROCKER", 501, rocker(936, 728), Rocker, kSequencer, None},
    {"PRESCALESWITCH", 503, {984, 744, 128, 24}, TimeModeSwitch, kSequencer, Below, "TIME MODE", kStepRates},
    {"TRIPLETBUTTON", 725, stepButton(1136, 744), TripletButton, kSequencer, Below, "TRIPLET"},
    {"AUTOADVLED", 414, led(1216, 720), Led, kSequencer, None},
    {"B_AUTOADV", 315, stepButton(1200, 744), StepButton, kSequencer, Below, "AUTO ADV"},
};

}  // namespace

const PictureInfo& pictureInfo(Picture picture) {
    for (const PictureInfo& info : kPictures)
        if (info.picture == picture) return info;
    throw std::logic_error("picture without a file");
}

std::span<const PictureInfo> pictures() { return kPictures; }

const GroupInfo& groupInfo(Group group) {
    for (const GroupInfo& info : kGroups)
        if (info.group == group) return info;
    throw std::logic_error("group without a description");
}

bool isSection(Group group) {
    const GroupInfo& info = groupInfo(group);
    return info.section == group && info.heading != nullptr;
}

std::span<const Element> panelElements() { return kElements; }

const Element* findElement(std::string_view tag) {
    const auto it = std::find_if(std::begin(kElements), std::end(kElements),
                                 [tag](const Element& element) { return tag == element.tag; });
    return it == std::end(kElements) ? nullptr : &*it;
}

bool isOverlay(const Element& element) {
    switch (element.picture) {
    case Background:
    case Splash:
    case CablePlug:
    case PlugShadow:
    case Empty: return true;
    default: return false;
    }
}

int socketIndex(const Element& element) {
    constexpr int kFirstSocketTag = 610;
    if (element.picture != Socket) return -1;
    return element.id - kFirstSocketTag;
}

}  // namespace tarvik::skin
