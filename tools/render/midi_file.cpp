#include "tools/render/midi_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik::render {

namespace {

// Real MIDI files are a few hundred kilobytes at most.
constexpr std::size_t kLargestFileBytes = 16 * 1024 * 1024;
constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExContinuation = 0xF7;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kSetTempo = 0x51;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint16_t kSmpteDivision = 0x8000;

struct Failure {
    std::string reason;
};

// Hands out the bytes of one chunk and throws a Failure instead of reading
// past them.
class ChunkReader {
public:
    ChunkReader(std::span<const std::uint8_t> bytes, std::string context, std::string piece)
        : bytes_(bytes), context_(std::move(context)), piece_(std::move(piece)) {}

    bool atEnd() const { return position_ == bytes_.size(); }

    std::uint8_t byte() {
        if (atEnd()) fail("truncated " + piece_);
        return bytes_[position_++];
    }

    std::uint32_t bigEndian(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | byte();
        return value;
    }

    // At most four bytes of seven bits each, as the file format allows.
    std::uint32_t variableLength() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t next = byte();
            value = value << 7 | (next & 0x7F);
            if (!(next & 0x80)) return value;
        }
        fail("bad variable-length number");
    }

    std::span<const std::uint8_t> take(std::uint32_t count) {
        if (count > bytes_.size() - position_) fail("truncated " + piece_);
        const auto taken = bytes_.subspan(position_, count);
        position_ += count;
        return taken;
    }

    [[noreturn]] void fail(const std::string& reason) const { throw Failure{context_ + reason}; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string context_;
    std::string piece_;
};

struct TickEvent {
    std::uint64_t tick;
    host::MidiMessage message;
};

struct TickTempo {
    std::uint64_t tick;
    std::uint32_t microsPerQuarter;
};

bool isFourCC(std::span<const std::uint8_t> bytes, std::string_view code) {
    return std::equal(bytes.begin(), bytes.end(), code.begin(), code.end(),
                      [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

int dataByteCount(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads a meta event after its status byte, keeps it if it sets the tempo,
// and answers its type.
std::uint8_t readMetaEvent(ChunkReader& track, std::uint64_t tick, std::vector<TickTempo>& tempos) {
    const std::uint8_t type = track.byte();
    const auto data = track.take(track.variableLength());
    if (type == kSetTempo) {
        const std::uint32_t micros = data.size() == 3 ? std::uint32_t{data[0]} << 16 | data[1] << 8 | data[2] : 0;
        if (micros == 0) track.fail("bad Set Tempo");
        tempos.push_back({tick, micros});
    }
    return type;
}

// Reads a channel message whose first byte has been read: its status, or
// under running status already its first data byte.
host::MidiMessage readChannelMessage(ChunkReader& track, std::uint8_t first, std::uint8_t& runningStatus) {
    std::uint8_t status = first;
    std::uint8_t data[2] = {0, 0};
    int count = 0;
    if (first < 0x80) {
        if (runningStatus == 0) track.fail("data byte without a status");
        status = runningStatus;
        data[count++] = first;
    }
    runningStatus = status;
    for (; count < dataByteCount(status); ++count) {
        data[count] = track.byte();
        if (data[count] > 0x7F) track.fail("status byte inside a message");
    }
    if ((status & 0xF0) == kNoteOn && data[1] == 0) status = kNoteOff | (status & 0x0F);
    return {status, data[0], data[1]};
}

void readTrack(ChunkReader& track, std::vector<TickEvent>& events, std::vector<TickTempo>& tempos) {
    std::uint64_t tick = 0;
    // Meta and sysex events should cancel running status; some writers rely
    // on it surviving them, and keeping it cannot misread a valid file.
    std::uint8_t runningStatus = 0;
    while (!track.atEnd()) {
        tick += track.variableLength();
        const std::uint8_t first = track.byte();
        if (first == kMetaEvent) {
            if (readMetaEvent(track, tick, tempos) == kEndOfTrack) return;
        } else if (first == kSysEx || first == kSysExContinuation) {
            track.take(track.variableLength());
        } else if (first > kSysEx) {
            char text[8];
            std::snprintf(text, sizeof text, "0x%02X", first);
            track.fail(std::string("unexpected status byte ") + text);
        } else {
            events.push_back({tick, readChannelMessage(track, first, runningStatus)});
        }
    }
}

// Where a tempo takes over: its tick, the seconds elapsed by then, and how
// long each tick lasts from there on.
struct TempoSegment {
    std::uint64_t tick;
    double seconds;
    double secondsPerTick;
};

Timeline toSeconds(std::vector<TickEvent>& events, std::vector<TickTempo>& tempos, int ticksPerQuarter,
                   double initialBpm) {
    // Tracks were read one after the other; a stable sort merges them and
    // keeps the file's order for events on the same tick.
    const auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(events.begin(), events.end(), byTick);
    std::stable_sort(tempos.begin(), tempos.end(), byTick);

    Timeline timeline;
    std::vector<TempoSegment> segments{{0, 0.0, 60.0 / (initialBpm * ticksPerQuarter)}};
    for (const TickTempo& tempo : tempos) {
        const TempoSegment& last = segments.back();
        const double seconds = last.seconds + static_cast<double>(tempo.tick - last.tick) * last.secondsPerTick;
        segments.push_back({tempo.tick, seconds, tempo.microsPerQuarter * 1e-6 / ticksPerQuarter});
        timeline.tempoChanges.push_back({seconds, 60e6 / tempo.microsPerQuarter});
    }
    std::size_t current = 0;
    for (const TickEvent& event : events) {
        while (current + 1 < segments.size() && segments[current + 1].tick <= event.tick) ++current;
        const TempoSegment& segment = segments[current];
        const double seconds = segment.seconds + static_cast<double>(event.tick - segment.tick) * segment.secondsPerTick;
        timeline.events.push_back({seconds, event.message});
    }
    return timeline;
}

Timeline parse(std::span<const std::uint8_t> bytes, double initialBpm) {
    ChunkReader file(bytes, "", "chunk");
    if (bytes.size() < 4 || !isFourCC(bytes.first(4), "MThd")) file.fail("not a MIDI file");
    file.take(4);
    const std::uint32_t headerLength = file.bigEndian(4);
    if (headerLength < 6) file.fail("header chunk too short");
    ChunkReader header(file.take(headerLength), "", "header");
    const std::uint32_t format = header.bigEndian(2);
    const std::uint32_t trackCount = header.bigEndian(2);
    const std::uint32_t division = header.bigEndian(2);
    if (format > 1) file.fail("format " + std::to_string(format) + " is not supported (only 0 and 1)");
    if (division & kSmpteDivision) file.fail("SMPTE time division is not supported");
    if (division == 0) file.fail("zero ticks per quarter note");

    std::vector<TickEvent> events;
    std::vector<TickTempo> tempos;
    std::uint32_t tracksRead = 0;
    while (tracksRead < trackCount) {
        if (file.atEnd())
            file.fail("the header announces " + std::to_string(trackCount) + " tracks, the file holds " +
                      std::to_string(tracksRead));
        const auto id = file.take(4);
        const auto body = file.take(file.bigEndian(4));
        // Chunks of other types are allowed, and readers skip them.
        if (!isFourCC(id, "MTrk")) continue;
        ++tracksRead;
        ChunkReader track(body, "track " + std::to_string(tracksRead) + ": ", "event");
        readTrack(track, events, tempos);
    }
    return toSeconds(events, tempos, static_cast<int>(division), initialBpm);
}

}  // namespace

bool parseMidiFile(std::span<const std::uint8_t> bytes, double initialBpm, Timeline& timeline, std::string& error) {
    try {
        timeline = parse(bytes, initialBpm);
        return true;
    } catch (const Failure& failure) {
        error = failure.reason;
        return false;
    }
}

bool readMidiFile(const std::string& path, double initialBpm, Timeline& timeline, std::string& error) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // One byte more than allowed tells an oversized file from one of the limit.
    std::vector<std::uint8_t> bytes(kLargestFileBytes + 1);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (std::ferror(file.get())) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (bytes.size() > kLargestFileBytes) {
        error = path + ": larger than " + std::to_string(kLargestFileBytes >> 20) + " MiB, not a MIDI file";
        return false;
    }
    if (!parseMidiFile(bytes, initialBpm, timeline, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace tarvik::render
