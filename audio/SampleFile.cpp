#include "audio/SampleFile.h"

#include "audio/SndFileLibrary.h"
#include "platform/Log.h"

#include <cmath>

namespace {

long RoundHalfAway(double x)
{
    return long(x < 0.0 ? x - 0.5 : x + 0.5);
}

} // namespace

float LargerMagnitude(float current, float incoming)
{
    return std::fabs(incoming) >= std::fabs(current) ? incoming : current;
}

std::vector<float>& MapSamples(const std::vector<float>& source, std::vector<float>& destination,
                               const CombineFunction& combine, bool interpolate)
{
    const std::size_t n = source.size();
    const std::size_t m = destination.size();
    if (n == m) {
        destination = source;
        return destination;
    }
    if (m == 0 || n == 0)
        return destination;
    const float step = float(m - 1) / float(n);
    float p = 0.0f;
    long k = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const long i = RoundHalfAway(p);
        destination[std::size_t(i)] = combine(destination[std::size_t(i)], source[j]);
        if (i - k > 1) {
            const float from = destination[std::size_t(k)];
            const float to = destination[std::size_t(i)];
            for (long x = k + 1; x < i; ++x)
                destination[std::size_t(x)] = interpolate ? from + float(x - k) * (to - from) / float(i - k) : to;
        }
        k = i;
        p += step;
    }
    return destination;
}

bool LoadSampleFile(const std::string& path, std::vector<float>& out, float maxDurationMs, int targetRate)
{
    return LoadSampleFile(SndFileLibrary::Instance(), path, out, maxDurationMs, targetRate);
}

bool LoadSampleFile(SndFileLibrary& library, const std::string& path, std::vector<float>& out, float maxDurationMs,
                    int targetRate)
{
    SF_INFO info{};
    SNDFILE* file = library.sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        Platform::Log("sound file " + path + " cannot be read: " + library.LastError());
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        library.sf_close(file);
        Platform::Log("sound file " + path + " cannot be read: no samples");
        return false;
    }
    const std::size_t channels = std::size_t(info.channels);
    std::vector<float> all(std::size_t(info.frames) * channels);
    const sf_count_t read = library.sf_read_float(file, all.data(), sf_count_t(all.size()));
    library.sf_close(file);
    const std::size_t frames = std::size_t(read < 0 ? 0 : read) / channels;

    std::vector<float> mono(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        float chosen = all[f * channels];
        for (std::size_t c = 1; c < channels; ++c) {
            const float s = all[f * channels + c];
            // Equal magnitudes take the later channel.
            if (std::fabs(s) >= std::fabs(chosen))
                chosen = s;
        }
        mono[f] = chosen;
    }
    if (info.samplerate == targetRate) {
        out.swap(mono);
    } else {
        const long length = RoundHalfAway(double(targetRate) / info.samplerate * double(mono.size()));
        out.assign(std::size_t(length < 0 ? 0 : length), 0.0f);
        MapSamples(mono, out, LargerMagnitude, true);
    }
    const long limit = RoundHalfAway(double(targetRate) * maxDurationMs * 0.001);
    if (limit >= 0 && out.size() > std::size_t(limit))
        out.resize(std::size_t(limit));
    return true;
}

ClickGenerator SampleClick(const std::string& path)
{
    return [path](std::vector<float>& click, int rate, float durationMs, int) {
        LoadSampleFile(path, click, durationMs, rate);
    };
}
