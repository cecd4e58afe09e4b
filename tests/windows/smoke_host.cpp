// A console host for the Windows build. It loads the plug-in binary named on
// the command line through its exported entry, as a music host would, plays
// one note and ends with the line "RESULT ok" or "RESULT fail: <reason>".
// Under Wine a crash only shows as an exit code, so the verdict is printed
// explicitly and the caller checks both.
//
//   tarvik_smoke_host.exe [--play-current-pattern] Tarvik.dll
//
// --play-current-pattern plays the patch the plug-in started with instead:
// it names the program, then holds the MIDI key of the patch's current
// pattern, as a user runs a pattern from a keyboard, and fails on silence.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "patch/patch_chunk.h"
#include "patch/pattern_ops.h"
#include "tools/host/hosted_plugin.h"

namespace {

using tarvik::host::HostedPlugin;

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;
constexpr int kNoteBlocks = 173;  // just over one second
constexpr int kNoteOnOffset = 10;
constexpr int kNoteOffBlock = 8;
constexpr std::uint8_t kKey = 60;
constexpr std::uint8_t kVelocity = 100;
// Two seconds: several steps of a pattern even at a slow tempo.
constexpr int kPatternBlocks = 345;
// About -40 dB: anything quieter is no bass line.
constexpr float kAudiblePeak = 0.01f;
// In this MIDI mode a key selects the pattern of its number and runs it.
constexpr int kPatternMidiMode = 0;
// A channel count beyond this means the record is corrupt.
constexpr int kMaxChannels = 64;
// Bytes past a text's room that the plug-in must leave alone.
constexpr std::size_t kGuardBytes = 16;
constexpr char kGuard = '\x5a';

int fail(const std::string& reason) {
    std::printf("RESULT fail: %s\n", reason.c_str());
    return 1;
}

// Asks for an identity text in exactly the room the interface grants, so that
// a plug-in writing past it or leaving it unterminated is caught here rather
// than corrupting a real host's stack.
bool readText(HostedPlugin& plugin, vst::VstInt32 opcode, std::size_t room, const char* what, std::string& text,
              std::string& problem) {
    std::vector<char> buffer(room + kGuardBytes, kGuard);
    std::fill_n(buffer.begin(), room, '\0');
    // The program name's call returns nothing: only its text tells.
    const bool answered = plugin.dispatch(opcode, 0, 0, buffer.data()) != 0 || opcode == vst::effGetProgramName;
    const auto roomEnd = buffer.begin() + static_cast<std::ptrdiff_t>(room);
    const auto textEnd = std::find(buffer.begin(), roomEnd, '\0');
    if (!std::all_of(roomEnd, buffer.end(), [](char c) { return c == kGuard; }))
        problem = std::string("the ") + what + " overruns its " + std::to_string(room) + " bytes";
    else if (textEnd == roomEnd)
        problem = std::string("the ") + what + " is not terminated";
    else if (!answered || textEnd == buffer.begin())
        problem = std::string("the plug-in gives no ") + what;
    else
        text.assign(buffer.begin(), textEnd);
    return problem.empty();
}

std::string fourCharacters(vst::VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xff);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

bool checkIdentity(HostedPlugin& plugin, std::string& problem) {
    std::string name, vendor, product;
    if (!readText(plugin, vst::effGetEffectName, vst::kVstMaxEffectNameLen, "effect name", name, problem) ||
        !readText(plugin, vst::effGetVendorString, vst::kVstMaxVendorStrLen, "vendor", vendor, problem) ||
        !readText(plugin, vst::effGetProductString, vst::kVstMaxProductStrLen, "product", product, problem))
        return false;
    const vst::AEffect& effect = *plugin.effect();
    std::printf("effect:   %s\nvendor:   %s\nproduct:  %s\n", name.c_str(), vendor.c_str(), product.c_str());
    std::printf("uniqueID: %s\nversion:  %d\nparams:   %d\ninputs:   %d\noutputs:  %d\n",
                fourCharacters(effect.uniqueID).c_str(), static_cast<int>(effect.version),
                static_cast<int>(effect.numParams), static_cast<int>(effect.numInputs),
                static_cast<int>(effect.numOutputs));
    if (effect.numInputs < 0 || effect.numInputs > kMaxChannels || effect.numOutputs < 1 ||
        effect.numOutputs > kMaxChannels)
        problem = "implausible channel counts";
    else if (!(effect.flags & vst::effFlagsIsSynth))
        problem = "not flagged as an instrument";
    else if (!(effect.flags & vst::effFlagsCanReplacing) || !effect.processReplacing)
        problem = "no replacing process";
    return problem.empty();
}

// MIDI for the block of its index; blocks past the list get none.
using EventSchedule = std::vector<std::vector<tarvik::host::TimedMidi>>;

// Plays the scheduled events through the started plug-in for the given
// number of blocks and checks every output sample; answers the peak.
bool render(HostedPlugin& plugin, const EventSchedule& schedule, int blocks, float& peak, std::string& problem) {
    const vst::AEffect& effect = *plugin.effect();
    std::vector<std::vector<float>> inputs(static_cast<std::size_t>(effect.numInputs),
                                           std::vector<float>(kBlockFrames, 0.0f));
    std::vector<std::vector<float>> outputs(static_cast<std::size_t>(effect.numOutputs),
                                            std::vector<float>(kBlockFrames));
    std::vector<float*> inputPointers, outputPointers;
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());

    peak = 0.0f;
    for (int block = 0; block < blocks; ++block) {
        if (static_cast<std::size_t>(block) < schedule.size() && !schedule[static_cast<std::size_t>(block)].empty())
            plugin.sendEvents(schedule[static_cast<std::size_t>(block)]);
        // A sample the plug-in fails to write stays NaN and is caught below.
        for (auto& channel : outputs) std::fill(channel.begin(), channel.end(), std::numeric_limits<float>::quiet_NaN());
        plugin.process(inputPointers.empty() ? nullptr : inputPointers.data(), outputPointers.data(), kBlockFrames);
        for (std::size_t c = 0; c < outputs.size(); ++c) {
            for (int frame = 0; frame < kBlockFrames; ++frame) {
                const float sample = outputs[c][static_cast<std::size_t>(frame)];
                if (!std::isfinite(sample)) {
                    problem = "output " + std::to_string(c) + " frame " + std::to_string(block * kBlockFrames + frame) +
                              " is not a finite number";
                    return false;
                }
                peak = std::max(peak, std::fabs(sample));
            }
        }
    }
    std::printf("rendered: %d frames, peak %.4f\n", blocks * kBlockFrames, static_cast<double>(peak));
    return true;
}

bool playNote(HostedPlugin& plugin, std::string& problem) {
    EventSchedule schedule(kNoteOffBlock + 1);
    schedule[0] = {{kNoteOnOffset, {0x90, kKey, kVelocity}}};
    schedule[kNoteOffBlock] = {{0, {0x80, kKey, 0}}};
    float peak = 0.0f;
    return render(plugin, schedule, kNoteBlocks, peak, problem);
}

// The patch as the host would save it in its project.
bool savedPatch(HostedPlugin& plugin, tarvik::TarvikPatch& patch, std::string& problem) {
    void* data = nullptr;
    const auto size = plugin.dispatch(vst::effGetChunk, 0, 0, &data);
    std::string path;
    if (size <= 0 || !data ||
        !tarvik::decodeChunk(patch, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path))
        problem = "the plug-in saves no patch";
    return problem.empty();
}

bool playCurrentPattern(HostedPlugin& plugin, std::string& problem) {
    std::string program;
    tarvik::TarvikPatch patch;
    if (!readText(plugin, vst::effGetProgramName, vst::kVstMaxProgNameLen, "program name", program, problem) ||
        !savedPatch(plugin, patch, problem))
        return false;
    if (patch.state(tarvik::state::MidiMode) != kPatternMidiMode) {
        problem = "MIDI keys do not run patterns (MidiMode " + std::to_string(patch.state(tarvik::state::MidiMode)) + ")";
        return false;
    }
    const auto key = static_cast<std::uint8_t>(tarvik::currentPatternIndex(patch));
    std::printf("program:  %s\npattern:  %d\n", program.c_str(), key);
    EventSchedule schedule(kPatternBlocks);
    schedule[0] = {{0, {0x90, key, kVelocity}}};
    schedule[kPatternBlocks - 1] = {{0, {0x80, key, 0}}};
    float peak = 0.0f;
    if (!render(plugin, schedule, kPatternBlocks, peak, problem)) return false;
    if (peak < kAudiblePeak) problem = "pattern " + std::to_string(key) + " plays silence";
    return problem.empty();
}

// Loads, plays and closes the plug-in; answers what went wrong, or nothing.
// The library is unloaded before this returns, so a fault while unloading
// also ends the run before its verdict.
std::string play(const char* path, bool currentPattern) {
    tarvik::host::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = kBlockFrames;
    HostedPlugin plugin(settings);
    std::string problem;
    if (!plugin.load(path, problem) || !checkIdentity(plugin, problem)) return problem;
    plugin.start();
    if (!(currentPattern ? playCurrentPattern(plugin, problem) : playNote(plugin, problem))) return problem;
    plugin.close();
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    // Wine reports a crash only through the exit code; every line printed so
    // far must still reach the log.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool currentPattern = argc == 3 && std::string(argv[1]) == "--play-current-pattern";
    if (argc != 2 && !currentPattern) {
        std::fprintf(stderr, "usage: %s [--play-current-pattern] <path to Tarvik.dll>\n",
                     argc > 0 ? argv[0] : "tarvik_smoke_host");
        return fail("no plug-in given");
    }
    if (const std::string problem = play(argv[argc - 1], currentPattern); !problem.empty()) return fail(problem);
    std::printf("RESULT ok\n");
    return 0;
}
