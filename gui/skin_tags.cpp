#include "gui/skin_tags.h"

#include "gui/ascii_case.h"

namespace tarvik::gui {

namespace {

// One name, or a numbered run of names (prefix plus first..last) whose tags
// follow each other from the given one.
struct TagRun {
    std::string_view name;
    int tag;
    int first = 0;
    int last = 0;
};

constexpr TagRun kRuns[] = {
    // panel
    {"SPLASH", tag::Splash},
    {"BACKGROUND", tag::Background},
    {"MIDILED", tag::MidiLed},
    {"NOTESWITCH", tag::NoteSwitch},
    {"SYNCSWITCH", tag::SyncSwitch},
    {"MODESWITCH", tag::ModeSwitch},
    {"OPTIONMENU", tag::OptionMenu},
    {"PATTERNMENU", tag::PatternMenu},
    {"PATTERNDIGITS", tag::PatternDigits},
    {"PATTERNROCKER", tag::PatternRocker},
    {"TEMPODIGITS", tag::TempoDigits},
    {"TEMPOROCKER", tag::TempoRocker},
    {"OPTIONCABLES", tag::OptionCables},
    {"OPTIONMIDILEARN", tag::OptionMidiLearn},
    {"OPTIONFILTER", tag::OptionFilter},
    {"OPTIONAUX", tag::OptionAux},
    {"OPTIONPANIC", tag::OptionPanic},
    {"OPTIONINFO", tag::OptionInfo},
    {"OPTIONMIDIOUT", tag::OptionMidiOut},
    {"PATTERNLOCK", tag::PatternLock},
    {"PATTERNWRITEPROTECT", tag::PatternWriteProtect},
    {"FILTERDROPDOWN", tag::FilterDropdown},
    {"PATTERNDROPDOWN", tag::PatternDropdown},
    {"OPTIONDROPDOWN", tag::OptionDropdown},
    // bass section
    {"VCO2MODSWITCH", tag::Vco2ModSwitch},
    {"TUNINGKNOB", tag::TuningKnob},
    {"CUTOFFKNOB", tag::CutoffKnob},
    {"RESONANCEKNOB", tag::ResonanceKnob},
    {"ENVMODKNOB", tag::EnvModKnob},
    {"VCFTRACKINGKNOB", tag::VcfTrackingKnob},
    {"ACCENTKNOB", tag::AccentKnob},
    {"BOOSTKNOB", tag::BoostKnob},
    {"DISTORTKNOB", tag::DistortKnob},
    {"VOLUMEKNOB", tag::VolumeKnob},
    {"DISTORTIONSWITCH", tag::DistortionSwitch},
    // sequencer
    {"NOTEBUTTON", tag::NoteButton1, 1, 13},
    {"B_PATTERNCLEAR", tag::PatternClearButton},
    {"B_RUNSTOP", tag::RunStopButton},
    {"B_AUTOADV", tag::AutoAdvButton},
    {"B_TIMEMODE", tag::GateButton},
    {"B_DOWN", tag::DownButton},
    {"B_UP", tag::UpButton},
    {"B_ACCENT", tag::AccentButton},
    {"B_SLIDE", tag::SlideButton},
    {"B_BACK", tag::BackButton},
    {"B_NEXT", tag::NextButton},
    {"RUNSTOPLED", tag::RunStopLed},
    {"AUTOADVLED", tag::AutoAdvLed},
    {"TIMEMODELED", tag::TimeModeLed},
    {"DOWNLED", tag::DownLed},
    {"UPLED", tag::UpLed},
    {"ACCENTLED", tag::AccentLed},
    {"SLIDELED", tag::SlideLed},
    {"NOTELED", tag::NoteLed1, 1, 36},
    {"STEPSDIGITS", tag::StepsDigits},
    {"STEPSROCKER", tag::StepsRocker},
    {"STEPDISPLAY", tag::StepDisplay},
    {"PRESCALESWITCH", tag::PrescaleSwitch},
    {"PLAYINGSTEPDISPLAY", tag::PlayingStepDisplay},
    {"PITCHKEYBOARD", tag::PitchKeyboard},
    // cables and displays
    {"SMALLARROW", tag::SmallArrow},
    {"DISPBACKGROUND", tag::DispBackground},
    {"SHADOWBITMAP", tag::ShadowBitmap},
    {"CORDPLUG", tag::CablePlug},
    {"SOCKET", tag::Socket1, 1, 43},
    // buttons
    {"ILLUBUTTON", tag::IlluButton1, 1, 13},
    {"ILLUBUTTON", tag::IlluButton14, 14, 24},
    {"TRIPLETBUTTON", tag::TripletButton},
    {"FUNCTIONBUTTON1", tag::FunctionButton1},
    {"FUNCTIONBUTTON2", tag::FunctionButton2},
    {"FUNCTIONLED1", tag::FunctionLed1},
    {"FUNCTIONLED2", tag::FunctionLed2},
    {"PATCHBUTTON", tag::PatchButton},
    {"NEXTPATCHBUTTON", tag::NextPatchButton},
    {"PREVPATCHBUTTON", tag::PrevPatchButton},
    // modulation section
    {"VCKNOB", tag::VcKnob1, 1, 9},
    {"ATTENUATOR1SWITCH", tag::Attenuator1Switch},
    {"ATTENUATOR2SWITCH", tag::Attenuator2Switch},
    // oscillators
    {"VCO1WAVE", tag::Vco1Wave},
    {"VCO1PW", tag::Vco1Pw},
    {"VCO1FM", tag::Vco1Fm},
    {"VCO1FINE", tag::Vco1Fine},
    {"VCO1RANGE", tag::Vco1Range},
    {"VCO1LED16", tag::Vco1Led16},
    {"VCO1LED8", tag::Vco1Led8},
    {"VCO1LED4", tag::Vco1Led4},
    {"VCO2WAVE", tag::Vco2Wave},
    {"VCO2PW", tag::Vco2Pw},
    {"VCO2FM", tag::Vco2Fm},
    {"VCO2FINE", tag::Vco2Fine},
    {"VCO2RANGE", tag::Vco2Range},
    {"VCO2LED16", tag::Vco2Led16},
    {"VCO2LED8", tag::Vco2Led8},
    {"VCO2LED4", tag::Vco2Led4},
    // glide and gate
    {"GLIDEKNOB", tag::GlideKnob},
    {"GATEKNOB", tag::GateKnob},
    {"GATEACTIVELED", tag::GateActiveLed},
    {"TRIGGERBUTTON", tag::TriggerButton},
    {"TRIGGERSINGLE", tag::TriggerSingle},
    {"TRIGGERMULTI", tag::TriggerMulti},
    // mixer
    {"VCO1LEVEL", tag::Vco1Level},
    {"VCO2LEVEL", tag::Vco2Level},
    {"NOISELEVEL", tag::NoiseLevel},
    {"AUXLEVEL", tag::AuxLevel},
    // modulation generator
    {"MGWAVE", tag::MgWave},
    {"MGFREQ", tag::MgFreq},
    {"MGAMOUNT", tag::MgAmount},
    {"MGRETRIG", tag::MgRetrig},
    {"MGRETRIGLED", tag::MgRetrigLed},
    {"MGAUDIOLED", tag::MgAudioLed},
    {"MGVCO1DEST", tag::MgVco1Dest},
    {"MGVCO2DEST", tag::MgVco2Dest},
    {"MGVCFDEST", tag::MgVcfDest},
    {"MGVCADEST", tag::MgVcaDest},
    {"MGPW1DEST", tag::MgPw1Dest},
    {"MGVCO1LED", tag::MgVco1Led},
    {"MGVCO2LED", tag::MgVco2Led},
    {"MGVCFLED", tag::MgVcfLed},
    {"MGVCALED", tag::MgVcaLed},
    {"MGPW1LED", tag::MgPw1Led},
    {"MGAUDIO", tag::MgAudio},
    {"MGBPMSYNC", tag::MgBpmSync},
    // noise, sync, accent
    {"NGCOLOR", tag::NgColor},
    {"SYNC12", tag::Sync12},
    {"SYNC21", tag::Sync21},
    {"SYNC12LED", tag::Sync12Led},
    {"SYNC21LED", tag::Sync21Led},
    {"ACCDECAY", tag::AccDecay},
    {"ACCVOLUME", tag::AccVolume},
    {"ACCEXT", tag::AccExt},
    {"ACCMANUAL", tag::AccManual},
    {"ACCEXTLED", tag::AccExtLed},
    // envelopes
    {"VCAATTACK", tag::VcaAttack},
    {"VCADECAY", tag::VcaDecay},
    {"VCASUSTAIN", tag::VcaSustain},
    {"VCARELEASE", tag::VcaRelease},
    {"VCATRIGGERLED", tag::VcaTriggerLed},
    {"VCFATTACK", tag::VcfAttack},
    {"VCFDECAY", tag::VcfDecay},
    {"VCFSUSTAIN", tag::VcfSustain},
    {"VCFRELEASE", tag::VcfRelease},
    {"VCFTRIGGERLED", tag::VcfTriggerLed},
    // delay
    {"DELAYAMOUNT", tag::DelayAmount},
    {"DELAYFEEDBACK", tag::DelayFeedback},
    {"DELAYLEFT", tag::DelayLeft},
    {"DELAYRIGHT", tag::DelayRight},
    {"DELAYBPMSYNC", tag::DelayBpmSync},
    {"DELAYLED", tag::DelayLed},
    // phaser
    {"PHASERRATE", tag::PhaserRate},
    {"PHASERAMOUNT", tag::PhaserAmount},
    {"PHASERDEPTH", tag::PhaserDepth},
    {"PHASERACTIVE", tag::PhaserActive},
};

constexpr int rowsOf(const TagRun& run) { return run.first == 0 ? 1 : run.last - run.first + 1; }

constexpr int countRows() {
    int rows = 0;
    for (const TagRun& run : kRuns) rows += rowsOf(run);
    return rows;
}
static_assert(countRows() == kNumSkinTags);

// The name of a run's member: the prefix, then the number in decimal (no
// number for a single name).
constexpr SkinTag makeRow(const TagRun& run, int number) {
    SkinTag row{};
    std::size_t length = 0;
    for (char c : run.name) row.text[length++] = c;
    if (number > 0) {
        char digits[4] = {};
        std::size_t count = 0;
        for (; number > 0; number /= 10) digits[count++] = static_cast<char>('0' + number % 10);
        while (count > 0) row.text[length++] = digits[--count];
    }
    row.tag = run.tag;
    return row;
}

constexpr std::array<SkinTag, kNumSkinTags> expandRuns() {
    std::array<SkinTag, kNumSkinTags> table{};
    std::size_t row = 0;
    for (const TagRun& run : kRuns) {
        if (run.first == 0) {
            table[row++] = makeRow(run, 0);
            continue;
        }
        for (int number = run.first; number <= run.last; ++number) {
            SkinTag member = makeRow(run, number);
            member.tag += number - run.first;
            table[row++] = member;
        }
    }
    return table;
}

constexpr std::array<SkinTag, kNumSkinTags> kTable = expandRuns();

}  // namespace

std::span<const SkinTag> skinTags() { return kTable; }

int findTag(std::string_view name) {
    if (name.size() > kMaxTagNameLength) return -1;
    for (const SkinTag& row : kTable)
        if (equalsIgnoringCase(row.name(), name)) return row.tag;
    return -1;
}

}  // namespace tarvik::gui
