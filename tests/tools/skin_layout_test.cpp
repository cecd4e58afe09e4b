// The default skin as the editor will read it: the layout table, the skin
// file it becomes, and the pictures drawn for it. The skin is drawn once into
// a throw-away folder and every picture is read back from there.
#include <cairo.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "tools/skin/fonts.h"
#include "tools/skin/layout.h"
#include "tools/skin/palette.h"
#include "tools/skin/panel.h"
#include "tools/skin/plan.h"
#include "tools/skin/skin_writer.h"

namespace tarvik::skin {
namespace {

namespace fs = std::filesystem;

constexpr double kMinimumContrast = 4.5;
constexpr int kMinimumKnobFrames = 64;

// Every element the editor turns into a control, and the places its menus
// open at; the editor's element table lists them.
std::vector<std::string> controlTags() {
    // clang-format off
    std::vector<std::string> tags = {
        "BACKGROUND", "SPLASH", "TUNINGKNOB", "CUTOFFKNOB", "RESONANCEKNOB", "ENVMODKNOB", "VCFTRACKINGKNOB",
        "ACCENTKNOB", "DISTORTKNOB", "VOLUMEKNOB", "BOOSTKNOB", "B_PATTERNCLEAR", "B_RUNSTOP", "B_AUTOADV",
        "B_TIMEMODE", "B_DOWN", "B_UP", "B_ACCENT", "B_SLIDE", "B_BACK", "B_NEXT", "AUTOADVLED", "RUNSTOPLED",
        "DOWNLED", "UPLED", "ACCENTLED", "SLIDELED", "TIMEMODELED", "PRESCALESWITCH", "STEPDISPLAY",
        "PLAYINGSTEPDISPLAY", "TEMPODIGITS", "PATTERNDIGITS", "STEPSDIGITS", "DISTORTIONSWITCH", "OPTIONCABLES", "OPTIONMIDILEARN",
        "OPTIONAUX", "OPTIONINFO", "PATTERNWRITEPROTECT", "PATTERNLOCK", "VCO2MODSWITCH", "MGBPMSYNC",
        "DELAYBPMSYNC", "OPTIONFILTER", "OPTIONPANIC", "PATCHBUTTON", "NEXTPATCHBUTTON", "PREVPATCHBUTTON",
        "PATTERNMENU", "OPTIONMENU", "PATTERNDROPDOWN", "OPTIONDROPDOWN", "FILTERDROPDOWN", "TEMPOROCKER",
        "PATTERNROCKER", "STEPSROCKER", "MIDILED", "SYNCSWITCH", "MODESWITCH", "NOTESWITCH", "TRIPLETBUTTON",
        "VCO1WAVE", "VCO1PW", "VCO1FM", "VCO1FINE", "VCO2WAVE", "VCO2PW", "VCO2FM", "VCO2FINE", "GLIDEKNOB",
        "GATEKNOB", "VCO1LEVEL", "VCO2LEVEL", "NOISELEVEL", "AUXLEVEL", "MGWAVE", "MGFREQ", "MGAMOUNT", "NGCOLOR",
        "ACCDECAY", "ACCVOLUME", "VCAATTACK", "VCADECAY", "VCASUSTAIN", "VCARELEASE", "VCFATTACK", "VCFDECAY",
        "VCFSUSTAIN", "VCFRELEASE", "DELAYAMOUNT", "DELAYFEEDBACK", "DELAYLEFT", "DELAYRIGHT", "VCO1RANGE",
        "VCO2RANGE", "TRIGGERBUTTON", "MGRETRIG", "MGAUDIO", "MGVCO1DEST", "MGVCO2DEST", "MGVCFDEST", "MGVCADEST",
        "MGPW1DEST", "SYNC12", "SYNC21", "ACCMANUAL", "VCO1LED16", "VCO1LED8", "VCO1LED4", "VCO2LED16",
        "VCO2LED8", "VCO2LED4", "GATEACTIVELED", "TRIGGERSINGLE", "TRIGGERMULTI", "MGRETRIGLED", "MGAUDIOLED",
        "MGVCO1LED", "MGVCO2LED", "MGVCFLED", "MGVCALED", "MGPW1LED", "SYNC12LED", "SYNC21LED", "ACCEXTLED",
        "VCATRIGGERLED", "VCFTRIGGERLED", "DELAYLED", "PITCHKEYBOARD", "SHADOWBITMAP", "CORDPLUG",
        "DISPBACKGROUND", "SMALLARROW"};
    // clang-format on
    for (int i = 1; i <= 36; ++i) tags.push_back("NOTELED" + std::to_string(i));
    for (int i = 1; i <= kNumSockets; ++i) tags.push_back("SOCKET" + std::to_string(i));
    for (int i = 1; i <= 6; ++i) tags.push_back("VCKNOB" + std::to_string(i));
    return tags;
}

std::string tagName(const ::testing::TestParamInfo<std::string>& test) { return test.param; }

template <typename Case>
std::string caseTag(const ::testing::TestParamInfo<Case>& test) {
    return test.param.tag;
}

// Failures name the case by its element.
template <typename Case>
requires requires(const Case& c) { c.tag; }
void PrintTo(const Case& c, std::ostream* out) { *out << c.tag; }

// ---------------------------------------------------------------------------
// The skin, drawn once.

struct PngRelease {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Png = std::unique_ptr<cairo_surface_t, PngRelease>;

class DrawnSkin {
public:
    DrawnSkin() : folder_(fs::temp_directory_path() / ("tarvik-skin-test-" + std::to_string(getpid()))) {
        fs::remove_all(folder_);
        writeSkin(folder_);
    }
    ~DrawnSkin() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    DrawnSkin(const DrawnSkin&) = delete;
    DrawnSkin& operator=(const DrawnSkin&) = delete;

    const fs::path& folder() const { return folder_; }
    cairo_surface_t* png(const std::string& file) {
        auto& slot = pngs_[file];
        if (!slot) slot.reset(cairo_image_surface_create_from_png((folder_ / file).string().c_str()));
        return slot.get();
    }

private:
    fs::path folder_;
    std::map<std::string, Png> pngs_;
};

DrawnSkin& skin() {
    static DrawnSkin drawn;
    return drawn;
}

const PanelPlan& plan() {
    static const PanelFonts fonts;
    static const Typesetter type(fonts);
    static const PanelPlan planned = planPanel(type);
    return planned;
}

bool loaded(cairo_surface_t* png) { return cairo_surface_status(png) == CAIRO_STATUS_SUCCESS; }

struct Pixel {
    double r = 0, g = 0, b = 0, a = 0;  // 0..1, not premultiplied
};

Pixel pixelAt(cairo_surface_t* png, int x, int y) {
    cairo_surface_flush(png);
    const unsigned char* row = cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png);
    std::uint32_t argb = 0;
    std::copy_n(row + x * 4, 4, reinterpret_cast<unsigned char*>(&argb));
    Pixel p;
    p.a = ((argb >> 24) & 0xFF) / 255.0;
    if (p.a > 0) {
        p.r = ((argb >> 16) & 0xFF) / 255.0 / p.a;
        p.g = ((argb >> 8) & 0xFF) / 255.0 / p.a;
        p.b = (argb & 0xFF) / 255.0 / p.a;
    }
    return p;
}

// Sum of per-channel differences between two same-sized areas of pictures.
double difference(cairo_surface_t* a, const Rect& areaA, cairo_surface_t* b, const Rect& areaB) {
    double total = 0.0;
    for (int y = 0; y < areaA.height; ++y)
        for (int x = 0; x < areaA.width; ++x) {
            const Pixel p = pixelAt(a, areaA.x + x, areaA.y + y);
            const Pixel q = pixelAt(b, areaB.x + x, areaB.y + y);
            total += std::fabs(p.r * p.a - q.r * q.a) + std::fabs(p.g * p.a - q.g * q.a) +
                     std::fabs(p.b * p.a - q.b * q.a) + std::fabs(p.a - q.a);
        }
    return total;
}

const Element& element(std::string_view tag) {
    const Element* found = findElement(tag);
    if (found == nullptr) throw std::logic_error("no element " + std::string(tag));
    return *found;
}

bool isKnob(Picture picture) {
    return picture == Picture::KnobLarge || picture == Picture::KnobLargeCentred || picture == Picture::KnobSmall ||
           picture == Picture::KnobSmallCentred;
}

// ---------------------------------------------------------------------------
// Which elements there are.

class EveryControl : public ::testing::TestWithParam<std::string> {};

TEST_P(EveryControl, IsPlacedExactlyOnce) {
    const auto elements = panelElements();
    const auto count =
        std::count_if(elements.begin(), elements.end(), [&](const Element& e) { return GetParam() == e.tag; });
    EXPECT_EQ(count, 1) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(SkinLayout, EveryControl, ::testing::ValuesIn(controlTags()), tagName);

TEST(SkinLayout, NamesNoElementTheEditorDoesNotBuild) {
    const std::vector<std::string> tags = controlTags();
    const std::set<std::string> known(tags.begin(), tags.end());
    for (const Element& e : panelElements()) EXPECT_TRUE(known.contains(e.tag)) << e.tag;
}

struct Binding {
    const char* tag;
    int parameter;
};

// Each control that shows a parameter carries the parameter's control id.
class ParameterControl : public ::testing::TestWithParam<Binding> {};

TEST_P(ParameterControl, ShowsItsParameter) {
    const Binding& binding = GetParam();
    EXPECT_EQ(parameterIndex(element(binding.tag)), binding.parameter) << binding.tag;
}

INSTANTIATE_TEST_SUITE_P(
    SkinLayout, ParameterControl,
    ::testing::Values(Binding{"TUNINGKNOB", param::MasterTuning}, Binding{"CUTOFFKNOB", param::FilterCutoff},
                      Binding{"RESONANCEKNOB", param::FilterResonance}, Binding{"ENVMODKNOB", param::EnvelopeMod},
                      Binding{"VCFTRACKINGKNOB", param::VcfTracking}, Binding{"ACCENTKNOB", param::AccentAmount},
                      Binding{"BOOSTKNOB", param::VcoBoost}, Binding{"DISTORTKNOB", param::VcoShaper},
                      Binding{"VOLUMEKNOB", param::MasterVolume}, Binding{"VCO2MODSWITCH", param::Vco2Mod},
                      Binding{"VCO1WAVE", param::Vco1Waveform}, Binding{"VCO1PW", param::Vco1PulseWidth},
                      Binding{"VCO1FM", param::Vco1FilterMod}, Binding{"VCO1FINE", param::Vco1FineTune},
                      Binding{"VCO1RANGE", param::Vco1Range}, Binding{"VCO2WAVE", param::Vco2Waveform},
                      Binding{"VCO2PW", param::Vco2PulseWidth}, Binding{"VCO2FM", param::Vco2FreqMod},
                      Binding{"VCO2FINE", param::Vco2FineTune}, Binding{"VCO2RANGE", param::Vco2Range},
                      Binding{"NGCOLOR", param::NgColor}, Binding{"GLIDEKNOB", param::GlideTime},
                      Binding{"GATEKNOB", param::GateTime}, Binding{"VCO1LEVEL", param::Vco1Level},
                      Binding{"VCO2LEVEL", param::Vco2Level}, Binding{"NOISELEVEL", param::NoiseLevel},
                      Binding{"AUXLEVEL", param::AuxLevel}, Binding{"MGWAVE", param::MgWave},
                      Binding{"MGFREQ", param::MgFrequency}, Binding{"MGAMOUNT", param::MgAmount},
                      Binding{"MGVCO1DEST", param::MgVco1Dest}, Binding{"MGPW1DEST", param::MgPw1Dest},
                      Binding{"SYNC12", param::Ring1x2}, Binding{"SYNC21", param::Sync2To1},
                      Binding{"ACCDECAY", param::AccentDecay}, Binding{"ACCVOLUME", param::AccentVolume},
                      Binding{"ACCMANUAL", param::AccentManual}, Binding{"VCAATTACK", param::VcaAttack},
                      Binding{"VCARELEASE", param::VcaRelease}, Binding{"VCFATTACK", param::VcfAttack},
                      Binding{"VCFRELEASE", param::VcfRelease}, Binding{"DELAYAMOUNT", param::DelayAmount},
                      Binding{"DELAYRIGHT", param::DelayRight}, Binding{"MGRETRIG", param::MgRetrigger},
                      Binding{"MGAUDIO", param::MgAudioOutput}, Binding{"VCKNOB1", param::EnvFollowAttack},
                      Binding{"VCKNOB2", param::EnvFollowRelease}, Binding{"VCKNOB3", param::OutputVariable1},
                      Binding{"VCKNOB4", param::OutputBias}, Binding{"VCKNOB5", param::OutputVariable2},
                      Binding{"VCKNOB6", param::OutputLagTime}, Binding{"MGBPMSYNC", param::MgBpmSync},
                      Binding{"DELAYBPMSYNC", param::DelayBpmSync}, Binding{"TRIGGERBUTTON", param::TriggerMode}),
    caseTag<Binding>);

TEST(SkinLayout, SocketsStandForEveryEntryOfTheSocketTable) {
    std::set<int> sockets;
    for (const Element& e : panelElements())
        if (socketIndex(e) >= 0) {
            EXPECT_EQ(std::string(e.tag), "SOCKET" + std::to_string(socketIndex(e) + 1));
            sockets.insert(socketIndex(e));
        }
    for (int i = 0; i < kNumSockets; ++i) EXPECT_TRUE(sockets.contains(i)) << "socket " << i;
}

// ---------------------------------------------------------------------------
// Where they are.

// The keyboard's width and its note LEDs follow the key geometry, not the grid.
bool placedByKeys(const Element& e) {
    return e.picture == Picture::Keyboard || std::string_view(e.tag).starts_with("NOTELED");
}

TEST(SkinLayout, PanelFitsTheEditorWindow) {
    const Rect& panel = element("BACKGROUND").rect;
    EXPECT_EQ(panel.x, 0);
    EXPECT_EQ(panel.y, 0);
    EXPECT_LE(panel.width, 1280);
    EXPECT_LE(panel.height, 800);
    EXPECT_EQ(panel.width % kGrid, 0);
    EXPECT_EQ(panel.height % kGrid, 0);
}

TEST(SkinLayout, ElementsLieInsideThePanel) {
    for (const Element& e : panelElements()) EXPECT_TRUE(kPanelRect.contains(e.rect)) << e.tag;
}

TEST(SkinLayout, ElementsStandOnTheGrid) {
    for (const Element& e : panelElements()) {
        EXPECT_EQ(e.rect.y % kGrid, 0) << e.tag;
        EXPECT_EQ(e.rect.height % kGrid, 0) << e.tag;
        if (placedByKeys(e)) continue;
        EXPECT_EQ(e.rect.x % kGrid, 0) << e.tag;
        EXPECT_EQ(e.rect.width % kGrid, 0) << e.tag;
    }
}

TEST(SkinLayout, ControlsDoNotOverlap) {
    const auto elements = panelElements();
    for (std::size_t i = 0; i < elements.size(); ++i)
        for (std::size_t j = i + 1; j < elements.size(); ++j) {
            if (isOverlay(elements[i]) || isOverlay(elements[j])) continue;
            EXPECT_FALSE(elements[i].rect.overlaps(elements[j].rect)) << elements[i].tag << " / " << elements[j].tag;
        }
}

TEST(SkinLayout, KeyboardHasTheEditorsKeyGeometry) {
    const Rect& keys = element("PITCHKEYBOARD").rect;
    EXPECT_EQ(keys.width, 399);
    EXPECT_GT(keys.height, kBlackKeyDepth);
}

// Semitone k's key spans this range of x within its octave.
std::pair<int, int> keySpan(int semitone) {
    constexpr int kWhiteOf[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
    constexpr int kBlackOf[12] = {-1, 0, -1, 1, -1, -1, 2, -1, 3, -1, 4, -1};
    if (kWhiteOf[semitone] >= 0) return {kWhiteOf[semitone] * 19, kWhiteOf[semitone] * 19 + 19};
    const int left = kBlackKeyLeft[static_cast<std::size_t>(kBlackOf[semitone])];
    return {left, left + kBlackKeyWidth};
}

class NoteLed : public ::testing::TestWithParam<int> {};

TEST_P(NoteLed, SitsAboveItsKey) {
    const int key = GetParam();
    const Rect& keys = element("PITCHKEYBOARD").rect;
    const Rect& led = element("NOTELED" + std::to_string(key + 1)).rect;
    const auto [left, right] = keySpan(key % 12);
    const double centre = led.x + led.width / 2.0 - keys.x - (key / 12) * 133.0;
    EXPECT_GE(centre, left) << "key " << key;
    EXPECT_LE(centre, right) << "key " << key;
    EXPECT_LE(led.bottom(), keys.y);
}

std::string keyName(const ::testing::TestParamInfo<int>& test) { return "Key" + std::to_string(test.param); }

INSTANTIATE_TEST_SUITE_P(SkinLayout, NoteLed, ::testing::Range(0, kKeyboardKeys), keyName);

TEST(SkinLayout, PrintedTextCoversNoControlAndNoOtherText) {
    const auto& texts = plan().texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_TRUE(kPanelRect.contains(texts[i].box)) << texts[i].text;
        for (const Element& e : panelElements()) {
            if (isOverlay(e)) continue;
            EXPECT_FALSE(texts[i].box.overlaps(e.rect)) << texts[i].text << " on " << e.tag;
        }
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            EXPECT_FALSE(texts[i].box.overlaps(texts[j].box)) << texts[i].text << " / " << texts[j].text;
    }
}

TEST(SkinLayout, SectionFramesHoldTheirControlsAndStayApart) {
    const auto& frames = plan().frames;
    std::map<Group, Rect> frameOf;
    for (const SectionFrame& frame : frames) {
        frameOf[frame.section] = frame.rect;
        EXPECT_TRUE(kPanelRect.contains(frame.rect));
        EXPECT_GE(frame.rect.y, kHeaderHeight);
    }
    for (const Element& e : panelElements()) {
        const Group section = groupInfo(e.group).section;
        if (!isSection(section)) continue;
        ASSERT_TRUE(frameOf.contains(section)) << e.tag;
        EXPECT_TRUE(frameOf[section].contains(e.rect)) << e.tag;
    }
    for (const PrintedText& text : plan().texts) {
        const Group section = groupInfo(text.group).section;
        if (isSection(section)) {
            EXPECT_TRUE(frameOf[section].contains(text.box)) << text.text;
        }
    }
    for (std::size_t i = 0; i < frames.size(); ++i)
        for (std::size_t j = i + 1; j < frames.size(); ++j)
            EXPECT_FALSE(frames[i].rect.grown(kGrid / 2).overlaps(frames[j].rect.grown(kGrid / 2)))
                << groupInfo(frames[i].section).heading << " / " << groupInfo(frames[j].section).heading;
}

// ---------------------------------------------------------------------------
// What is printed.

std::vector<const PrintedText*> textsOf(std::string_view tag, TextRole role) {
    std::vector<const PrintedText*> found;
    for (const PrintedText& text : plan().texts)
        if (text.owner != nullptr && tag == text.owner->tag && text.role == role) found.push_back(&text);
    return found;
}

std::string joined(const std::vector<const PrintedText*>& lines) {
    std::string all;
    for (const PrintedText* line : lines) all += (all.empty() ? "" : " ") + line->text;
    return all;
}

struct LabelCase {
    const char* tag;
    const char* label;
};

// Labels name the parameter, less what the section heading already says,
// with the usual panel abbreviations.
class ControlLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ControlLabel, IsPrintedByTheControl) {
    EXPECT_EQ(joined(textsOf(GetParam().tag, TextRole::Label)), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(SkinLayout, ControlLabel,
                         ::testing::Values(LabelCase{"CUTOFFKNOB", "CUTOFF"}, LabelCase{"ENVMODKNOB", "ENV MOD"},
                                           LabelCase{"ACCENTKNOB", "ACCENT"}, LabelCase{"DISTORTKNOB", "SHAPER"},
                                           LabelCase{"VCFTRACKINGKNOB", "VCF TRACKING"},
                                           LabelCase{"VCO1FINE", "FINE TUNE"}, LabelCase{"VCO1PW", "PW"},
                                           LabelCase{"VCO2FM", "FREQ MOD"}, LabelCase{"VCO1LEVEL", "VCO-1"},
                                           LabelCase{"NGCOLOR", "NOISE COLOR"}, LabelCase{"SYNC12", "RING 1\u00d72"},
                                           LabelCase{"SYNC21", "SYNC 2\u21921"}, LabelCase{"MGAUDIO", "AUDIO OUT"},
                                           LabelCase{"MGPW1DEST", "PW1"}, LabelCase{"TRIGGERBUTTON", "TRIGGER"},
                                           LabelCase{"VCADECAY", "DECAY"}, LabelCase{"VCKNOB1", "ATTACK"},
                                           LabelCase{"VCKNOB4", "BIAS"}, LabelCase{"VCKNOB6", "LAG"},
                                           LabelCase{"VCO1LED16", "16\u2032"}, LabelCase{"TRIGGERMULTI", "MULTI"},
                                           LabelCase{"B_RUNSTOP", "RUN/STOP"}),
                         caseTag<LabelCase>);

TEST(SkinLayout, EveryKnobAndButtonIsLabelled) {
    for (const Element& e : panelElements()) {
        const bool needsLabel = isKnob(e.picture) || e.picture == Picture::Button || e.picture == Picture::Toggle ||
                                e.picture == Picture::StepButton || e.picture == Picture::MenuButton ||
                                e.picture == Picture::Digits || e.picture == Picture::TripletButton;
        if (needsLabel) {
            EXPECT_FALSE(textsOf(e.tag, TextRole::Label).empty()) << e.tag;
        }
    }
}

TEST(SkinLayout, LabelsAreUniqueWithinTheirGroup) {
    std::map<std::pair<Group, std::string>, std::string> seen;
    for (const Element& e : panelElements()) {
        const std::string label = joined(textsOf(e.tag, TextRole::Label));
        if (label.empty()) continue;
        const auto [it, fresh] = seen.emplace(std::pair{e.group, label}, e.tag);
        EXPECT_TRUE(fresh) << e.tag << " and " << it->second << " both read " << label;
    }
}

class SocketName : public ::testing::TestWithParam<int> {};

TEST_P(SocketName, IsPrintedBesideItsSocket) {
    const std::string tag = "SOCKET" + std::to_string(GetParam() + 1);
    const auto lines = textsOf(tag, TextRole::Label);
    EXPECT_EQ(joined(lines), kSocketDefinitions[static_cast<std::size_t>(GetParam())].name);
    for (const PrintedText* line : lines) EXPECT_GE(line->box.x, element(tag).rect.right());
}

std::string socketName(const ::testing::TestParamInfo<int>& test) { return "Socket" + std::to_string(test.param + 1); }

INSTANTIATE_TEST_SUITE_P(SkinLayout, SocketName, ::testing::Range(0, kNumSockets), socketName);

struct SwitchCase {
    const char* tag;
    std::vector<std::string> positions;
};

class SwitchPositions : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchPositions, AreNamedInOrder) {
    const auto names = textsOf(GetParam().tag, TextRole::Position);
    ASSERT_EQ(names.size(), GetParam().positions.size());
    const Rect& r = element(GetParam().tag).rect;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i]->text, GetParam().positions[i]);
        if (i == 0) continue;
        // Vertical switches read top to bottom, horizontal ones left to right.
        if (r.height > r.width) {
            EXPECT_GT(names[i]->baseline, names[i - 1]->baseline);
        } else {
            EXPECT_GT(names[i]->box.x, names[i - 1]->box.right());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SkinLayout, SwitchPositions,
    ::testing::Values(SwitchCase{"SYNCSWITCH", {"INT", "HOST"}}, SwitchCase{"MODESWITCH", {"PATTERN", "SYNTH"}},
                      SwitchCase{"NOTESWITCH", {"MONO", "POLY"}},
                      SwitchCase{"PRESCALESWITCH", {"\u00d71", "\u00d72", "\u00d70.75", "\u00d71.5"}}),
    caseTag<SwitchCase>);

TEST(SkinLayout, PanelTextIsDejaVuSans) {
    const PanelFonts fonts;
    EXPECT_EQ(fs::path(fonts.file(false)).filename(), "DejaVuSans.ttf");
    EXPECT_EQ(fs::path(fonts.file(true)).filename(), "DejaVuSans-Bold.ttf");
}

TEST(SkinLayout, TextStylesStayReadableOnEveryPaper) {
    for (const TextStyle& style : kPanelTextStyles) {
        EXPECT_GE(style.size, 9.0);
        for (const Colour& paper : kPapers)
            EXPECT_GE(contrastRatio(style.ink, grainLifted(paper)), kMinimumContrast)
                << "ink " << style.ink.r << "," << style.ink.g << "," << style.ink.b;
    }
}

// Every pixel of paper under each printed text, painted as the panel paints
// it: frames, grain, collars, rules and bezels included.
TEST(SkinLayout, PrintedTextContrastsWithThePaperUnderIt) {
    Canvas paper(kPanelRect.width, kPanelRect.height);
    paintPanelSurface(paper, plan());
    for (const PrintedText& text : plan().texts) {
        double worst = 1e9;
        for (int y = text.box.y; y < text.box.bottom(); ++y)
            for (int x = text.box.x; x < text.box.right(); ++x) {
                const Pixel p = pixelAt(paper.surface(), x, y);
                worst = std::min(worst, contrastRatio(text.style.ink, {p.r, p.g, p.b}));
            }
        EXPECT_GE(worst, kMinimumContrast) << text.text;
    }
}

// ---------------------------------------------------------------------------
// The written skin.

TEST(SkinFile, ListsEveryElementWithItsPictureAndPlace) {
    std::ifstream file(skin().folder() / "Tarvik.skn");
    ASSERT_TRUE(file.is_open());
    std::map<std::string, std::string> lines;
    for (std::string line; std::getline(file, line);) {
        const std::size_t space = line.find(' ');
        if (line.empty() || line[0] == ';' || space == std::string::npos) continue;
        lines[line.substr(0, space)] = line.substr(space + 1);
    }
    for (const Element& e : panelElements()) {
        std::ostringstream expected;
        expected << '"' << pictureInfo(e.picture).file << "\", " << e.rect.x << ", " << e.rect.y << ", " << e.rect.width
                 << ", " << e.rect.height;
        EXPECT_EQ(lines[e.tag], expected.str()) << e.tag;
    }
}

TEST(SkinFile, PicturesLieWhereTheEditorLooks) {
    for (const char* name : {"splashscreen.png", "upscroll.png", "bunnybug.png", "cordplug.png", "Tarvik.skn"})
        EXPECT_TRUE(fs::is_regular_file(skin().folder() / name)) << name;
    for (const Element& e : panelElements()) {
        const std::string file = pictureInfo(e.picture).file;
        if (file.empty()) continue;
        EXPECT_TRUE(fs::is_regular_file(skin().folder() / file)) << e.tag;
        const bool namedByEditor = e.picture == Picture::Splash || e.picture == Picture::CablePlug;
        if (!namedByEditor) {
            EXPECT_TRUE(file.starts_with("Tarvik Skin/")) << e.tag;
        }
    }
}

class ElementPicture : public ::testing::TestWithParam<std::string> {};

TEST_P(ElementPicture, HoldsItsFramesAtTheElementsSize) {
    const Element& e = element(GetParam());
    const PictureInfo& info = pictureInfo(e.picture);
    cairo_surface_t* png = skin().png(info.file);
    ASSERT_TRUE(loaded(png)) << info.file;
    const int width = cairo_image_surface_get_width(png);
    const int height = cairo_image_surface_get_height(png);
    if (e.picture == Picture::Digits) {
        // Ten digit images and the unlit glass, each one digit of the
        // display wide.
        EXPECT_EQ(e.rect.width % width, 0);
        EXPECT_EQ(height, (kDarkDigit + 1) * e.rect.height);
    } else {
        EXPECT_EQ(width, e.rect.width);
        EXPECT_EQ(height, info.frames * e.rect.height);
    }
}

std::vector<std::string> taggedWithPictures() {
    std::vector<std::string> tags;
    for (const Element& e : panelElements())
        if (e.picture != Picture::Empty) tags.emplace_back(e.tag);
    return tags;
}

INSTANTIATE_TEST_SUITE_P(SkinFile, ElementPicture, ::testing::ValuesIn(taggedWithPictures()), tagName);

struct FramesCase {
    const char* tag;
    int frames;
};

class ControlFrames : public ::testing::TestWithParam<FramesCase> {};

TEST_P(ControlFrames, MatchTheControlsStates) {
    const Element& e = element(GetParam().tag);
    cairo_surface_t* png = skin().png(pictureInfo(e.picture).file);
    ASSERT_TRUE(loaded(png));
    EXPECT_EQ(cairo_image_surface_get_height(png), GetParam().frames * e.rect.height);
}

INSTANTIATE_TEST_SUITE_P(SkinFile, ControlFrames,
                         ::testing::Values(FramesCase{"B_RUNSTOP", 2}, FramesCase{"OPTIONCABLES", 2},
                                           FramesCase{"OPTIONPANIC", 2}, FramesCase{"RUNSTOPLED", 2},
                                           FramesCase{"NOTELED36", 2}, FramesCase{"TEMPOROCKER", 3},
                                           FramesCase{"SYNCSWITCH", 2}, FramesCase{"PRESCALESWITCH", 4},
                                           FramesCase{"TRIPLETBUTTON", 2}, FramesCase{"PATCHBUTTON", 2},
                                           FramesCase{"SOCKET1", 2}, FramesCase{"PITCHKEYBOARD", 4},
                                           FramesCase{"PATTERNMENU", 2}, FramesCase{"NEXTPATCHBUTTON", 2}),
                         caseTag<FramesCase>);

// Pixels of the accent colour in one frame: the lit part of a knob's arc.
int accentPixels(cairo_surface_t* png, int frame, int size) {
    int count = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Pixel p = pixelAt(png, x, frame * size + y);
            const bool accent = p.a > 0.9 && std::fabs(p.r - palette::kAccent.r) < 0.08 &&
                                std::fabs(p.g - palette::kAccent.g) < 0.08 && std::fabs(p.b - palette::kAccent.b) < 0.1;
            count += accent ? 1 : 0;
        }
    return count;
}

class KnobStrip : public ::testing::TestWithParam<std::string> {};

TEST_P(KnobStrip, TurnsSmoothlyWithItsArc) {
    const Element& e = element(GetParam());
    cairo_surface_t* png = skin().png(pictureInfo(e.picture).file);
    ASSERT_TRUE(loaded(png));
    const int size = e.rect.height;
    const int frames = cairo_image_surface_get_height(png) / size;
    EXPECT_GE(frames, kMinimumKnobFrames);
    const bool centred = e.picture == Picture::KnobLargeCentred || e.picture == Picture::KnobSmallCentred;
    const int middle = frames / 2;
    // The arc grows from its start, the bottom left, or the top for centred knobs.
    const int first = centred ? middle : 0;
    int previous = accentPixels(png, first, size);
    for (int frame = first + 1; frame < frames; ++frame) {
        const int lit = accentPixels(png, frame, size);
        EXPECT_GE(lit + 2, previous) << "frame " << frame;
        previous = lit;
    }
    EXPECT_GT(previous, accentPixels(png, first, size) + size) << "the arc hardly grows";
    for (int frame = 1; frame < frames; ++frame)
        EXPECT_GT(difference(png, {0, (frame - 1) * size, size, size}, png, {0, frame * size, size, size}), 0.0)
            << "frames " << frame - 1 << " and " << frame << " look alike";
    if (centred) {
        const int left = accentPixels(png, 0, size);
        const int right = accentPixels(png, frames - 1, size);
        EXPECT_NEAR(left, right, std::max(left, right) / 10) << "a centred arc reaches as far each way";
    }
}

INSTANTIATE_TEST_SUITE_P(SkinFile, KnobStrip,
                         ::testing::Values("CUTOFFKNOB", "TUNINGKNOB", "VCO1WAVE", "VCO1FINE", "VCKNOB4"), tagName);

// The bass section's knobs share one large size, every other knob one smaller size.
TEST(SkinLayout, BassKnobsStandOutFromTheOthers) {
    const int large = element("CUTOFFKNOB").rect.width;
    const int small = element("VCO1WAVE").rect.width;
    EXPECT_GE(large * 4, small * 5);
    for (const Element& e : panelElements()) {
        if (!isKnob(e.picture)) continue;
        const int expected = e.group == Group::Filter ? large : small;
        EXPECT_EQ(e.rect.width, expected) << e.tag;
        EXPECT_EQ(e.rect.height, expected) << e.tag;
    }
}

TEST(SkinFile, TwoStateControlsShowTwoDifferentStates) {
    for (const char* tag : {"RUNSTOPLED", "B_RUNSTOP", "OPTIONCABLES", "SOCKET1", "TRIPLETBUTTON", "PATCHBUTTON",
                            "SYNCSWITCH", "PREVPATCHBUTTON"}) {
        const Element& e = element(tag);
        cairo_surface_t* png = skin().png(pictureInfo(e.picture).file);
        ASSERT_TRUE(loaded(png)) << tag;
        const Rect first{0, 0, e.rect.width, e.rect.height};
        const Rect second{0, e.rect.height, e.rect.width, e.rect.height};
        EXPECT_GT(difference(png, first, png, second), 10.0) << tag;
    }
}

TEST(SkinFile, LitLedGlowsBrighterThanAnUnlitOne) {
    const Element& e = element("MIDILED");
    cairo_surface_t* png = skin().png(pictureInfo(e.picture).file);
    ASSERT_TRUE(loaded(png));
    const int c = e.rect.width / 2;
    const Pixel off = pixelAt(png, c, c);
    const Pixel on = pixelAt(png, c, e.rect.height + c);
    EXPECT_GT(relativeLuminance({on.r, on.g, on.b}), 3.0 * relativeLuminance({off.r, off.g, off.b}));
    EXPECT_GT(off.r * off.a, 0.12) << "an unlit LED stays visible";
}

TEST(SkinFile, KeyboardImagesShowEachKeyAtRestAndPressed) {
    const Element& e = element("PITCHKEYBOARD");
    cairo_surface_t* png = skin().png(pictureInfo(e.picture).file);
    ASSERT_TRUE(loaded(png));
    EXPECT_EQ(cairo_image_surface_get_width(png), 399);
    const int h = e.rect.height;
    EXPECT_EQ(difference(png, {0, 0, 399, h}, png, {0, 2 * h, 399, h}), 0.0);
    EXPECT_EQ(difference(png, {0, h, 399, h}, png, {0, 3 * h, 399, h}), 0.0);
    for (int key = 0; key < kKeyboardKeys; ++key) {
        const auto [left, right] = keySpan(key % 12);
        const int x = (key / 12) * kOctaveWidth + left;
        // The part of the key no other key covers.
        const bool black = right - left == kBlackKeyWidth;
        const Rect area = black ? Rect{x + 2, 4, kBlackKeyWidth - 4, kBlackKeyDepth - 8}
                                : Rect{x + 2, kBlackKeyDepth + 4, kWhiteKeyWidth - 4, h - kBlackKeyDepth - 8};
        EXPECT_GT(difference(png, area, png, {area.x, area.y + h, area.width, area.height}), 1.0) << "key " << key;
    }
}

TEST(SkinFile, OutputSocketsStandOnAPlateThatInputsLack) {
    cairo_surface_t* background = skin().png(pictureInfo(Picture::Background).file);
    ASSERT_TRUE(loaded(background));
    double darkestOutput = 1.0;
    double lightestInput = 0.0;
    for (const Element& e : panelElements()) {
        const int index = socketIndex(e);
        if (index < 0) continue;
        // Just inside the corner of the socket's square, outside its round ring.
        const Pixel p = pixelAt(background, e.rect.x + 1, e.rect.y + 1);
        const double luminance = relativeLuminance({p.r, p.g, p.b});
        if (kSocketDefinitions[static_cast<std::size_t>(index)].direction == kSocketOutput)
            darkestOutput = std::min(darkestOutput, luminance);
        else
            lightestInput = std::max(lightestInput, luminance);
    }
    EXPECT_GT((darkestOutput + 0.05) / (lightestInput + 0.05), 1.5);
}

}  // namespace
}  // namespace tarvik::skin
