// Writes rendered blocks to a WAV file as they come, so a long render never
// has to fit in memory.
#pragma once

#include <string>
#include <vector>

// libsndfile's handle, declared as the library declares it, so that users of
// this header need not see the library.
typedef struct sf_private_tag SNDFILE;

namespace tarvik::render {

enum class SampleFormat { kFloat, kPcm24, kPcm16 };

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path, int channels, int sampleRate, SampleFormat format, std::string& error);
    // One block, one buffer per channel.
    bool write(const std::vector<float*>& channels, int frames, std::string& error);
    // Completes the file's header; a file not closed is cut short.
    bool close(std::string& error);

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

}  // namespace tarvik::render
