#include "tools/render/wav_writer.h"

#include <sndfile.h>

namespace tarvik::render {

namespace {
int subtypeOf(SampleFormat format) {
    switch (format) {
        case SampleFormat::kPcm24: return SF_FORMAT_PCM_24;
        case SampleFormat::kPcm16: return SF_FORMAT_PCM_16;
        case SampleFormat::kFloat: break;
    }
    return SF_FORMAT_FLOAT;
}
}  // namespace

WavWriter::~WavWriter() {
    if (file_) sf_close(file_);
}

bool WavWriter::open(const std::string& path, int channels, int sampleRate, SampleFormat format, std::string& error) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subtypeOf(format);
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_) {
        error = path + ": cannot be written: " + sf_strerror(nullptr);
        return false;
    }
    path_ = path;
    // Overs in an integer file clip, as they would on a converter, instead
    // of wrapping round to the opposite sign.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool WavWriter::write(const std::vector<float*>& channels, int frames, std::string& error) {
    const std::size_t count = channels.size();
    interleaved_.resize(count * static_cast<std::size_t>(frames));
    for (std::size_t c = 0; c < count; ++c)
        for (int i = 0; i < frames; ++i) interleaved_[static_cast<std::size_t>(i) * count + c] = channels[c][i];
    if (sf_writef_float(file_, interleaved_.data(), frames) == frames) return true;
    error = path_ + ": write failed: " + sf_strerror(file_);
    return false;
}

bool WavWriter::close(std::string& error) {
    const int failure = sf_close(file_);
    file_ = nullptr;
    if (failure == 0) return true;
    error = path_ + ": write failed: " + sf_error_number(failure);
    return false;
}

}  // namespace tarvik::render
