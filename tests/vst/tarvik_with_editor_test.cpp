#include "vst/tarvik_with_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "tests/support/in_process_plugin.h"

namespace tarvik {
namespace {

using namespace vst;

// Records what the plug-in and the host tell the editor.
class FakeEditor : public AEffEditor {
public:
    explicit FakeEditor(std::vector<std::string>& log) : log_(log) {}

    bool getRect(ERect** rect) override {
        *rect = &rect_;
        log_.push_back("getRect");
        return true;
    }
    bool open(void*) override {
        log_.push_back("open");
        return true;
    }
    void close() override { log_.push_back("close"); }
    void idle() override { log_.push_back("idle"); }
    bool onKeyDown(VstKeyCode& key) override {
        log_.push_back("keyDown " + std::to_string(key.character) + " " + std::to_string(key.virt));
        return true;
    }
    bool onKeyUp(VstKeyCode&) override {
        log_.push_back("keyUp");
        return false;
    }
    bool setKnobMode(int mode) override {
        log_.push_back("knobMode " + std::to_string(mode));
        return true;
    }
    int calm() override {
        log_.push_back("calm");
        return kEditorAtRest;
    }
    std::string shownMessage() override {
        log_.push_back("message");
        return "Could not save patch.";
    }

private:
    std::vector<std::string>& log_;
    ERect rect_{0, 0, 525, 722};
};

class TarvikWithEditorTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    test::ScopedDataFolder folder;
    TarvikWithEditor plugin{nullptr, [this](ControlFace&) { return std::make_unique<FakeEditor>(log); }};
    AEffect* effect = plugin.getAeffect();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
};

TEST_F(TarvikWithEditorTest, AnAttachedEditorIsAnnouncedAndReachedByTheEditorOpcodes) {
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 722);
    EXPECT_EQ(dispatch(effEditOpen), 1);
    EXPECT_EQ(dispatch(effEditIdle), 1);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 3), 1);
    EXPECT_EQ(dispatch(effEditKeyUp), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(dispatch(effVendorSpecific, kEditorCalmQuery), kEditorAtRest);
    EXPECT_EQ(dispatch(effVendorSpecific, kEditorCalmQuery + 1), 0) << "no other vendor question is known";
    char message[12];
    EXPECT_EQ(dispatch(effVendorSpecific, kEditorMessageQuery, sizeof message, message), 1);
    EXPECT_STREQ(message, "Could not s") << "cut to the host's buffer";
    EXPECT_EQ(dispatch(effEditClose), 1);
    const std::vector<std::string> expected = {"getRect",    "open", "idle",    "keyDown 97 3", "keyUp",
                                               "knobMode 2", "calm", "message", "close"};
    EXPECT_EQ(log, expected);
}

// The editor reads what changed through the control face at its idle.
TEST_F(TarvikWithEditorTest, ParameterAndProgramChangesAreMarkedForTheEditor) {
    ControlFace& control = plugin.control();
    control.takePatchChanged();
    effect->setParameter(effect, param::FilterCutoff, 0.25f);
    std::vector<int> marked;
    control.changedParameters().drain([&](int index) { marked.push_back(index); });
    EXPECT_EQ(marked, std::vector<int>{param::FilterCutoff});
    EXPECT_EQ(plugin.getParameter(param::FilterCutoff), 0.25f);

    dispatch(effSetProgram, 0, 0);
    EXPECT_TRUE(control.takePatchChanged());
    EXPECT_FALSE(control.takePatchChanged()) << "told once";
    char name[] = "ignored";
    dispatch(effSetProgramName, 0, 0, name);
    EXPECT_TRUE(control.takePatchChanged());
    EXPECT_TRUE(log.empty()) << "the editor itself hears nothing of it";
}

// The engine keeps the first 64 events of a block; program changes are
// noted for the control side whatever their number.
TEST_F(TarvikWithEditorTest, AProgramChangeBeyondTheEnginesRoomIsStillNoted) {
    std::vector<VstMidiEvent> records(100);
    std::vector<VstEvent*> pointers;
    for (int i = 0; i < 100; ++i) {
        records[static_cast<std::size_t>(i)] = {kVstMidiType, sizeof(VstMidiEvent), 0, 0, 0, 0, {char(0xC2), char(i), 0, 0}, 0, 0, 0, 0};
        pointers.push_back(reinterpret_cast<VstEvent*>(&records[static_cast<std::size_t>(i)]));
    }
    VstEvent sysex{kVstSysExType, 48, 0, 0, {}};
    pointers.insert(pointers.begin() + 50, &sysex);
    std::vector<unsigned char> list(offsetof(VstEvents, events) + sizeof(VstEvent*) * pointers.size());
    auto* events = reinterpret_cast<VstEvents*>(list.data());
    events->numEvents = static_cast<VstInt32>(pointers.size());
    std::memcpy(list.data() + offsetof(VstEvents, events), pointers.data(), sizeof(VstEvent*) * pointers.size());

    EXPECT_EQ(dispatch(effProcessEvents, 0, 0, events), 1);
    EXPECT_EQ(plugin.control().takeProgramChange(), 99) << "the last one wins";
    EXPECT_EQ(plugin.control().takeProgramChange(), -1);
}

TEST(TarvikWithEditorUnattached, EditorOpcodesAnswerZero) {
    test::ScopedDataFolder folder;
    TarvikWithEditor plugin(nullptr);
    AEffect* effect = plugin.getAeffect();
    EXPECT_FALSE(effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    for (VstInt32 opcode : {effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp,
                            effSetEditKnobMode})
        EXPECT_EQ(effect->dispatcher(effect, opcode, 0, 0, &rect, 0.0f), 0) << opcode;
    EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, kEditorCalmQuery, 0, nullptr, 0.0f), kEditorBusy);
    EXPECT_EQ(rect, nullptr);
}

}  // namespace
}  // namespace tarvik
