#include "audio/LoopBuffer.h"

#include "audio/GainLimit.h"
#include "audio/ToneLoop.h"
#include "audio/TuneConfig.h"
#include "framework/core/Singleton.h"
#include "platform/Log.h"

#include <algorithm>
#include <string>
#include <utility>

LoopBuffer& LoopBuffer::Instance()
{
    return Vabo::SingletonHolder<LoopBuffer>::Instance();
}

int LoopBuffer::PlayCallback(void*, void* output, unsigned long frames, double, void*)
{
    float* out = static_cast<float*>(output);
    if (!out)
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t size = samples_.size();
    if (size == 0) {
        std::fill(out, out + frames, 0.0f);
        return 0;
    }
    if (readIndex_ >= size)
        readIndex_ = 0;
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t take = std::min<std::size_t>(frames - done, size - readIndex_);
        std::copy_n(samples_.begin() + long(readIndex_), take, out + done);
        done += take;
        readIndex_ = (readIndex_ + take) % size;
    }
    return 0;
}

int LoopBuffer::Play(void* input, void* output, unsigned long frames, double outTime, void* userData)
{
    return static_cast<LoopBuffer*>(userData)->PlayCallback(input, output, frames, outTime, userData);
}

bool LoopBuffer::BuildBeats(int bpm, int beatsPerBar, const ClickGenerator& normal, const ClickGenerator& accent)
{
    if (bpm < 1 || beatsPerBar < 1 || beatsPerBar > MaxBeatsPerBar) {
        Platform::Log("metronome: no bar of " + std::to_string(beatsPerBar) + " beats at " + std::to_string(bpm)
                      + " bpm: tempo and beats per bar must be at least 1, beats per bar at most "
                      + std::to_string(MaxBeatsPerBar));
        return false;
    }
    std::vector<float> a, b;
    if (!BuildBeatBuffer(a, Rate, bpm, normal) || !BuildBeatBuffer(b, Rate, bpm, accent)) {
        Platform::Log("metronome: the click sound could not be made; the bar is left as it was");
        return false;
    }
    const std::size_t n = a.size();
    std::vector<float> bar(std::size_t(beatsPerBar) * n, 0.0f);
    for (int i = 0; i + 1 < beatsPerBar; ++i)
        std::copy(a.begin(), a.end(), bar.begin() + long(i * n));
    std::copy_n(b.begin(), std::min(b.size(), n), bar.begin() + long((beatsPerBar - 1) * n));
    SetSamples(std::move(bar));
    return true;
}

void LoopBuffer::BuildTone(float frequency)
{
    std::vector<float> tone;
    GenerateSine(frequency, ReferenceToneDuration(frequency), Rate, tone);
    LoudnessCurve curve;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        curve = loudnessCurve_;
    }
    ApplyLoudness(tone, curve, frequency);
    SetSamples(std::move(tone));
}

void LoopBuffer::ApplyLoudness(std::vector<float>& samples, const LoudnessCurve& curve, float frequency)
{
    const GainLimit limit{LoudnessGain(curve, frequency), 30.0f};
    for (float& x : samples)
        limit.Apply(x);
}

void LoopBuffer::SetLoudnessCurve(const TuneConfig& config)
{
    LoudnessCurve curve;
    config.VisitPerceivedHearing([&curve](float hz, float db) { curve[hz] = db; });
    SetLoudnessCurve(std::move(curve));
}

void LoopBuffer::SetLoudnessCurve(LoudnessCurve curve)
{
    std::lock_guard<std::mutex> lock(mutex_);
    loudnessCurve_.swap(curve);
}

void LoopBuffer::SetSamples(std::vector<float> samples)
{
    // The new sound is made outside the lock; the old one is freed outside it too.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.swap(samples);
        readIndex_ = 0;
    }
}

std::size_t LoopBuffer::Size()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_.size();
}

std::vector<float> LoopBuffer::Samples()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}
