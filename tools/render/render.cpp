#include "tools/render/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "patch/pattern_files.h"
#include "patch/pattern_ops.h"
#include "tools/host/hosted_plugin.h"
#include "tools/render/block_schedule.h"
#include "tools/render/midi_file.h"
#include "tools/render/wav_writer.h"

namespace tarvik::render {

namespace {

// Room for the release of the last note to ring out.
constexpr double kTailSeconds = 2.0;
// Shorter renders finish before a progress line would be read.
constexpr double kProgressAfterSeconds = 10.0;
// More would be a broken record rather than a real plug-in.
constexpr int kMostChannels = 64;

// A pattern plays for as long as its key is held: the whole render.
constexpr double kPatternSeconds = 8.0;
constexpr int kPatternKeyVelocity = 100;

bool buildTimeline(const RenderOptions& options, Timeline& timeline, std::string& error) {
    if (options.pattern) {
        const double seconds = options.lengthSeconds.value_or(kPatternSeconds);
        timeline = timelineFromNotes({{*options.pattern, 0.0, seconds, kPatternKeyVelocity}});
        return true;
    }
    if (options.midiFile.empty()) {
        timeline = timelineFromNotes(options.notes);
        return true;
    }
    return readMidiFile(options.midiFile, options.tempo, timeline, error);
}

bool renderSeconds(const RenderOptions& options, const Timeline& timeline, double& seconds, std::string& error) {
    if (options.lengthSeconds || options.pattern) {
        seconds = options.lengthSeconds.value_or(kPatternSeconds);
        return true;
    }
    double lastEvent = 0.0;
    for (const TimelineEvent& event : timeline.events) lastEvent = std::max(lastEvent, event.seconds);
    seconds = lastEvent + kTailSeconds;
    if (seconds <= kLongestTimelineSeconds) return true;
    char text[160];
    std::snprintf(text, sizeof text, "the music lasts %.0f s, longer than the %.0f s a render may last; give --length",
                  lastEvent, kLongestTimelineSeconds);
    error = text;
    return false;
}

class ProgressLine {
public:
    ProgressLine(std::ostream& out, std::int64_t totalFrames, int sampleRate)
        : out_(out), totalFrames_(totalFrames),
          enabled_(static_cast<double>(totalFrames) > kProgressAfterSeconds * sampleRate) {}

    void update(std::int64_t framesDone) {
        if (!enabled_) return;
        const auto percent = static_cast<int>(framesDone * 100 / totalFrames_);
        if (percent == lastPercent_) return;
        lastPercent_ = percent;
        out_ << "\rrendering " << percent << "%" << std::flush;
    }

    // Ends the line, also when the render stops early, so that a message
    // after it starts on a line of its own.
    ~ProgressLine() {
        if (lastPercent_ >= 0) out_ << "\n";
    }

private:
    std::ostream& out_;
    std::int64_t totalFrames_;
    bool enabled_;
    int lastPercent_ = -1;
};

// Audio buffers for the plug-in, and the pointer arrays processReplacing takes.
struct Buffers {
    Buffers(int channels, int frames)
        : samples(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames))) {
        for (std::vector<float>& channel : samples) pointers.push_back(channel.data());
    }
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;
};

void measure(const std::vector<float*>& channels, int frames, RenderSummary& summary) {
    for (const float* channel : channels)
        for (int i = 0; i < frames; ++i) {
            if (std::isfinite(channel[i]))
                summary.peak = std::max(summary.peak, std::abs(channel[i]));
            else
                ++summary.nonFiniteSamples;
        }
}

// The pattern a held key starts: the key's own, unless the patch locks the
// selection to its current pattern.
int patternThatPlays(const RenderOptions& options, const TarvikPatch& patch) {
    if (options.pattern && patch.state(state::PatternLock) == 0) return *options.pattern;
    return currentPatternIndex(patch);
}

// The song first, so that a pattern file can replace one of its patterns.
bool importPatterns(const RenderOptions& options, TarvikPatch& patch, std::optional<SongImport>& song,
                    std::string& error) {
    if (!options.importSong.empty()) {
        song.emplace();
        if (!readRebirthSong(options.importSong, *song)) {
            error = "cannot read ReBirth patterns from " + options.importSong;
            return false;
        }
        applyRebirthPatterns(*song, patch);
    }
    if (!options.importPattern.empty() &&
        !importCorvallPattern(patch.patterns[patternThatPlays(options, patch)], options.importPattern)) {
        error = "cannot read the pattern " + options.importPattern;
        return false;
    }
    return true;
}

// The patch, the play mode and imported patterns reach the plug-in as a host
// restores a project: its own state, read from it as a chunk, changed and
// handed back. A song's sound parameters then go through the plug-in's
// parameter path, as the editor sets them.
bool configurePlugin(const RenderOptions& options, host::HostedPlugin& plugin, std::string& error) {
    const std::optional<PlayMode> mode = options.pattern ? PlayMode::kPattern : options.mode;
    if (options.patchFile.empty() && !mode && options.importSong.empty() && options.importPattern.empty()) return true;
    TarvikPatch patch;
    if (!options.patchFile.empty()) {
        if (!readPatchFile(patch, options.patchFile)) {
            error = "cannot read the patch " + options.patchFile;
            return false;
        }
    } else {
        void* data = nullptr;
        const vst::VstIntPtr size = plugin.dispatch(vst::effGetChunk, 0, 0, &data);
        std::string path;
        if (size <= 0 || !data ||
            !decodeChunk(patch, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path)) {
            error = "the plug-in gave no state to change";
            return false;
        }
    }
    if (mode) {
        patch.setState(state::MidiMode, *mode == PlayMode::kPattern ? 0 : 1);
        if (*mode != PlayMode::kPattern) patch.setState(state::NoteMode, *mode == PlayMode::kPoly ? 1 : 0);
    }
    std::optional<SongImport> song;
    if (!importPatterns(options, patch, song, error)) return false;
    std::vector<unsigned char> chunk(kChunkSize);
    encodeChunk(patch, chunk.data());
    if (plugin.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data()) == 0) {
        error = "the plug-in refused the patch";
        return false;
    }
    vst::AEffect* effect = plugin.effect();
    if (song && effect->setParameter) {
        for (const SongParameter& parameter : song->parameters) effect->setParameter(effect, parameter.index, parameter.value);
    }
    return true;
}

bool loadPlugin(const std::string& path, host::HostedPlugin& plugin, std::string& error) {
    if (!plugin.load(path, error)) {
        error = "cannot load the plug-in: " + error;
        return false;
    }
    const vst::AEffect& effect = *plugin.effect();
    if (effect.numInputs < 0 || effect.numInputs > kMostChannels || effect.numOutputs < 1 ||
        effect.numOutputs > kMostChannels) {
        error = path + ": the plug-in declares " + std::to_string(effect.numInputs) + " inputs and " +
                std::to_string(effect.numOutputs) + " outputs";
        return false;
    }
    if (!effect.processReplacing) {
        error = path + ": the plug-in has no processReplacing";
        return false;
    }
    return true;
}

}  // namespace

bool render(const RenderOptions& options, std::ostream& progress, RenderSummary& summary, std::string& error) {
    Timeline timeline;
    double seconds = 0.0;
    if (!buildTimeline(options, timeline, error) || !renderSeconds(options, timeline, seconds, error)) return false;

    host::HostSettings settings;
    settings.sampleRate = options.sampleRate;
    settings.blockSize = options.blockSize;
    settings.tempo = options.tempo;
    host::HostedPlugin plugin(settings);
    if (!loadPlugin(options.plugin, plugin, error)) return false;
    Buffers inputs(plugin.effect()->numInputs, options.blockSize);
    Buffers outputs(plugin.effect()->numOutputs, options.blockSize);

    WavWriter writer;
    if (!writer.open(options.output, plugin.effect()->numOutputs, options.sampleRate, options.format, error))
        return false;

    summary = RenderSummary{};
    summary.output = options.output;
    summary.frames = std::max<std::int64_t>(1, std::llround(seconds * options.sampleRate));
    summary.sampleRate = options.sampleRate;
    summary.channels = plugin.effect()->numOutputs;
    BlockSchedule schedule(timeline, options.sampleRate, options.tempo);
    ProgressLine progressLine(progress, summary.frames, options.sampleRate);
    plugin.start();
    if (!configurePlugin(options, plugin, error)) return false;
    for (std::int64_t done = 0; done < summary.frames;) {
        const auto frames = static_cast<int>(std::min<std::int64_t>(options.blockSize, summary.frames - done));
        schedule.advance(frames);
        plugin.settings().tempo = schedule.tempo();
        if (!schedule.events().empty()) plugin.sendEvents(schedule.events());
        plugin.process(inputs.pointers.data(), outputs.pointers.data(), frames);
        measure(outputs.pointers, frames, summary);
        if (!writer.write(outputs.pointers, frames, error)) return false;
        done += frames;
        progressLine.update(done);
    }
    plugin.close();
    return writer.close(error);
}

std::string describe(const RenderSummary& summary) {
    const double peakDb = 20.0 * std::log10(static_cast<double>(summary.peak));
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%lld frames (%.3f s at %d Hz, %d channels), peak %.2f dBFS",
                  static_cast<long long>(summary.frames), static_cast<double>(summary.frames) / summary.sampleRate,
                  summary.sampleRate, summary.channels, peakDb);
    std::string line = "wrote " + summary.output + ": " + numbers;
    if (summary.nonFiniteSamples > 0)
        line += ", " + std::to_string(summary.nonFiniteSamples) + " samples not finite";
    return line;
}

}  // namespace tarvik::render
