#include "audio/SampleFile.h"

#include "audio/SndFileLibrary.h"
#include "platform/Log.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>

namespace {

// Frames read (and folded to one channel) at a time.
constexpr std::size_t ChunkFrames = 4096;

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
        // The position sums a float step many times: on long sources its
        // rounding error can carry it past the last column.
        const long i = std::min(RoundHalfAway(p), long(m - 1));
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
    const auto refuse = [&path](const std::string& why) {
        Platform::Log("sound file " + path + " cannot be read: " + why);
        return false;
    };
    // A FIFO or device would block the open or the read for ever.
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return refuse(std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return refuse("not a regular file");
    if (targetRate < 1)
        return refuse("no output rate");

    SF_INFO info{};
    SNDFILE* file = library.sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return refuse(library.LastError());
    const auto closeAndRefuse = [&](const std::string& why) {
        library.sf_close(file);
        return refuse(why);
    };
    if (info.channels < 1 || info.channels > MaxSampleChannels)
        return closeAndRefuse("more than " + std::to_string(MaxSampleChannels) + " channels");
    if (info.samplerate < 1 || info.samplerate > MaxSampleRate)
        return closeAndRefuse("sample rate above " + std::to_string(MaxSampleRate) + " Hz");
    if (info.frames <= 0)
        return closeAndRefuse("no samples");

    // Only the frames that survive the cut are read: the kept length at the
    // file's rate, plus one for the resampler's last step.
    const double durationMs = std::isnan(maxDurationMs) ? 0.0 : std::max(0.0, double(maxDurationMs));
    const double limit = std::floor(double(targetRate) * durationMs * 0.001 + 0.5);
    const double wanted = std::ceil(limit * info.samplerate / targetRate) + 1.0;
    const std::size_t frames = std::size_t(std::min(double(info.frames), wanted));

    const std::size_t channels = std::size_t(info.channels);
    std::vector<float> mono;
    std::vector<float> chunk;
    try {
        mono.reserve(frames);
        chunk.resize(ChunkFrames * channels);
    } catch (const std::exception&) {
        return closeAndRefuse("not enough memory for " + std::to_string(frames) + " frames");
    }
    bool limited = false;
    while (mono.size() < frames) {
        const std::size_t want = std::min(ChunkFrames, frames - mono.size());
        const sf_count_t read = library.sf_read_float(file, chunk.data(), sf_count_t(want * channels));
        const std::size_t got = std::size_t(read < 0 ? 0 : read) / channels;
        for (std::size_t i = 0; i < got * channels; ++i) {
            // A float file can hold anything: what is not a number would
            // poison every mix it enters, and a huge value plays as a
            // full-scale block.
            if (!std::isfinite(chunk[i]))
                return closeAndRefuse("sample " + std::to_string(mono.size() + i / channels) + " is not a number");
            if (std::fabs(chunk[i]) > 1.0f) {
                chunk[i] = std::copysign(1.0f, chunk[i]);
                limited = true;
            }
        }
        for (std::size_t f = 0; f < got; ++f) {
            float chosen = chunk[f * channels];
            for (std::size_t c = 1; c < channels; ++c) {
                const float s = chunk[f * channels + c];
                // Equal magnitudes take the later channel.
                if (std::fabs(s) >= std::fabs(chosen))
                    chosen = s;
            }
            mono.push_back(chosen);
        }
        if (got < want)
            break;
    }
    library.sf_close(file);
    if (mono.empty())
        return refuse("no samples");
    if (limited)
        Platform::Log("sound file " + path + ": samples beyond full scale are kept at full scale");

    if (info.samplerate == targetRate) {
        out.swap(mono);
    } else {
        const long length = RoundHalfAway(double(targetRate) / info.samplerate * double(mono.size()));
        out.assign(std::size_t(length < 0 ? 0 : length), 0.0f);
        MapSamples(mono, out, LargerMagnitude, true);
    }
    if (double(out.size()) > limit)
        out.resize(std::size_t(limit));
    return true;
}

ClickGenerator SampleClick(const std::string& path)
{
    return [path](std::vector<float>& click, int rate, float durationMs, int) {
        return LoadSampleFile(path, click, durationMs, rate);
    };
}
