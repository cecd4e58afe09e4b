// A console host for the Windows build. It loads the plug-in binary named on
// the command line through its exported entry, as a music host would, plays
// one note and ends with the line "RESULT ok" or "RESULT fail: <reason>".
// Under Wine a crash only shows as an exit code, so the verdict is printed
// explicitly and the caller checks both.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "tools/host/hosted_plugin.h"

namespace {

using tarvik::host::HostedPlugin;

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;
constexpr int kBlocks = 173;  // just over one second
constexpr int kNoteOnOffset = 10;
constexpr int kNoteOffBlock = 8;
constexpr std::uint8_t kKey = 60;
constexpr std::uint8_t kVelocity = 100;
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
    const bool answered = plugin.dispatch(opcode, 0, 0, buffer.data()) != 0;
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

// Plays the note through the started plug-in and checks every output sample.
bool render(HostedPlugin& plugin, std::string& problem) {
    const vst::AEffect& effect = *plugin.effect();
    std::vector<std::vector<float>> inputs(static_cast<std::size_t>(effect.numInputs),
                                           std::vector<float>(kBlockFrames, 0.0f));
    std::vector<std::vector<float>> outputs(static_cast<std::size_t>(effect.numOutputs),
                                            std::vector<float>(kBlockFrames));
    std::vector<float*> inputPointers, outputPointers;
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());

    float peak = 0.0f;
    for (int block = 0; block < kBlocks; ++block) {
        if (block == 0) plugin.sendEvents({{kNoteOnOffset, {0x90, kKey, kVelocity}}});
        if (block == kNoteOffBlock) plugin.sendEvents({{0, {0x80, kKey, 0}}});
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
    std::printf("rendered: %d frames, peak %.4f\n", kBlocks * kBlockFrames, static_cast<double>(peak));
    return true;
}

// Loads, plays and closes the plug-in; answers what went wrong, or nothing.
// The library is unloaded before this returns, so a fault while unloading
// also ends the run before its verdict.
std::string play(const char* path) {
    tarvik::host::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = kBlockFrames;
    HostedPlugin plugin(settings);
    std::string problem;
    if (!plugin.load(path, problem) || !checkIdentity(plugin, problem)) return problem;
    plugin.start();
    if (!render(plugin, problem)) return problem;
    plugin.close();
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    // Wine reports a crash only through the exit code; every line printed so
    // far must still reach the log.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <path to Tarvik.dll>\n", argc > 0 ? argv[0] : "tarvik_smoke_host");
        return fail("no plug-in given");
    }
    if (const std::string problem = play(argv[1]); !problem.empty()) return fail(problem);
    std::printf("RESULT ok\n");
    return 0;
}
