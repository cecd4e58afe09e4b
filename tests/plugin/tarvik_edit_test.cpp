#include "plugin/tarvik_edit.h"

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
    void setParameter(int index, float value) override {
        log_.push_back("parameter " + std::to_string(index) + " " + std::to_string(value));
    }
    void programChanged() override { log_.push_back("programChanged"); }
    void programNameChanged() override { log_.push_back("programNameChanged"); }
    void midiMessage(int status, int data1, int data2) override {
        log_.push_back("midi " + std::to_string(status) + " " + std::to_string(data1) + " " + std::to_string(data2));
    }

private:
    std::vector<std::string>& log_;
    ERect rect_{0, 0, 525, 722};
};

class TarvikEditTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    test::ScopedDataFolder folder;
    TarvikEdit plugin{nullptr, [this](Tarvik&) { return std::make_unique<FakeEditor>(log); }};
    AEffect* effect = plugin.getAeffect();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
};

TEST_F(TarvikEditTest, AnAttachedEditorIsAnnouncedAndReachedByTheEditorOpcodes) {
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
    EXPECT_EQ(dispatch(effEditClose), 1);
    const std::vector<std::string> expected = {"getRect", "open", "idle", "keyDown 97 3", "keyUp", "knobMode 2", "close"};
    EXPECT_EQ(log, expected);
}

TEST_F(TarvikEditTest, ParameterAndProgramChangesReachTheEditor) {
    effect->setParameter(effect, param::FilterCutoff, 0.25f);
    dispatch(effSetProgram, 0, 0);
    char name[] = "ignored";
    dispatch(effSetProgramName, 0, 0, name);
    const std::vector<std::string> expected = {"parameter 1 0.250000", "programChanged", "programNameChanged"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(plugin.getParameter(param::FilterCutoff), 0.25f);
}

TEST_F(TarvikEditTest, TheEditorSeesEveryMidiMessageTheEngineKeepsTheFirst64) {
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
    EXPECT_EQ(plugin.engine().pendingEvents().size(), 64);
    ASSERT_EQ(log.size(), 100u);
    EXPECT_EQ(log.front(), "midi 194 0 0");
    EXPECT_EQ(log.back(), "midi 194 99 0");
}

TEST(TarvikEditWithoutEditor, EditorOpcodesAnswerZero) {
    test::ScopedDataFolder folder;
    TarvikEdit plugin(nullptr);
    AEffect* effect = plugin.getAeffect();
    EXPECT_FALSE(effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    for (VstInt32 opcode : {effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp,
                            effSetEditKnobMode})
        EXPECT_EQ(effect->dispatcher(effect, opcode, 0, 0, &rect, 0.0f), 0) << opcode;
    EXPECT_EQ(rect, nullptr);
}

}  // namespace
}  // namespace tarvik
