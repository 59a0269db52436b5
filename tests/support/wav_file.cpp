#include "support/wav_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

template <typename T> void put(std::ofstream& out, T value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

bool write_tone_wav(const std::string& path, int sample_rate, int frequency, double seconds)
{
    auto samples = static_cast<uint32_t>(sample_rate * seconds);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write("RIFF", 4);
    put<uint32_t>(out, 36 + samples * 2);
    out.write("WAVEfmt ", 8);
    put<uint32_t>(out, 16);
    put<uint16_t>(out, 1); // PCM
    put<uint16_t>(out, 1); // mono
    put<uint32_t>(out, static_cast<uint32_t>(sample_rate));
    put<uint32_t>(out, static_cast<uint32_t>(sample_rate * 2));
    put<uint16_t>(out, 2);
    put<uint16_t>(out, 16);
    out.write("data", 4);
    put<uint32_t>(out, samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        put<int16_t>(out, static_cast<int16_t>(12000 * std::sin(2 * M_PI * frequency * i / sample_rate)));
    return static_cast<bool>(out.flush());
}

namespace {

struct WavSamples {
    bool ok = false;
    int rate = 0;
    std::vector<int16_t> samples;
};

WavSamples read_wav(const std::string& path)
{
    WavSamples wav;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return wav;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 16 <= bytes.size()) {
            uint32_t rate = 0;
            std::memcpy(&rate, bytes.data() + at + 12, 4);
            wav.rate = static_cast<int>(rate);
        }
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            size_t begin = at + 8;
            // A recorder stopped early may leave the size unset: take the rest of the file.
            size_t end = size == 0 ? bytes.size() : std::min(bytes.size(), begin + size);
            wav.samples.resize((end - begin) / 2);
            std::memcpy(wav.samples.data(), bytes.data() + begin, wav.samples.size() * 2);
            wav.ok = wav.rate > 0;
            return wav;
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

double rms_of(const int16_t* samples, size_t count)
{
    if (count == 0)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / count);
}

} // namespace

double wav_rms(const std::string& path)
{
    WavSamples wav = read_wav(path);
    return wav.ok ? rms_of(wav.samples.data(), wav.samples.size()) : -1;
}

int wav_longest_silence_ms(const std::string& path, double threshold)
{
    WavSamples wav = read_wav(path);
    if (!wav.ok)
        return -1;
    size_t block = static_cast<size_t>(wav.rate / 100);
    int longest = 0, run = 0;
    for (size_t at = 0; at + block <= wav.samples.size(); at += block) {
        run = rms_of(wav.samples.data() + at, block) < threshold ? run + 10 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}
