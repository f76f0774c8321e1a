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

LoopBuffer::~LoopBuffer()
{
    // The streams that play this buffer were stopped before it dies.
    Collect();
    delete pending_.load();
    delete playing_;
    delete fading_;
}

void LoopBuffer::Collect()
{
    const std::size_t written = retiredWritten_.load(std::memory_order_acquire);
    std::size_t read = retiredRead_.load(std::memory_order_relaxed);
    for (; read != written; ++read)
        delete retired_[read % RetiredSlots].exchange(nullptr, std::memory_order_acq_rel);
    retiredRead_.store(read, std::memory_order_release);
}

void LoopBuffer::TakePending(double startFrame)
{
    const std::size_t written = retiredWritten_.load(std::memory_order_relaxed);
    // With the ring full the old sound plays on until the GUI thread frees
    // some: the engine never frees memory.
    if (playing_ && written - retiredRead_.load(std::memory_order_acquire) == RetiredSlots)
        return;
    Sound* next = pending_.exchange(nullptr, std::memory_order_acq_rel);
    if (!next)
        return;
    if (playing_) {
        retired_[written % RetiredSlots].store(playing_, std::memory_order_release);
        retiredWritten_.store(written + 1, std::memory_order_release);
    }
    playing_ = next;
    readIndex_ = 0;
    NotePlayed(startFrame, false);
}

void LoopBuffer::NotePlayed(double start, bool restarted)
{
    // Each store releases, so none is seen before the count turned odd.
    const unsigned writing = playedWriting_.load(std::memory_order_relaxed);
    playedWriting_.store(writing + 1, std::memory_order_relaxed);
    const std::size_t count = restarted ? 0 : playedCount_.load(std::memory_order_relaxed);
    const bool sounds = playing_ && !playing_->samples.empty();
    PlayedSlot& slot = played_[count % PlayedKept];
    slot.start.store(start, std::memory_order_release);
    slot.beat.store(!sounds ? 0 : playing_->beat ? playing_->beat : playing_->samples.size(),
                    std::memory_order_release);
    slot.bar.store(sounds ? playing_->samples.size() : 0, std::memory_order_release);
    playedCount_.store(count + 1, std::memory_order_release);
    if (restarted)
        playedRestart_.store(restarts_.load(std::memory_order_relaxed), std::memory_order_release);
    playedWriting_.store(writing + 2, std::memory_order_release);
}

bool LoopBuffer::PlayedAt(double frame, Played& played) const
{
    std::array<Played, PlayedKept> kept;
    std::size_t count = 0;
    unsigned restart = 0;
    // Each load acquires, so the count read last is read after them all: it
    // is unchanged and even only when nothing was written meanwhile.
    for (;;) {
        const unsigned writing = playedWriting_.load(std::memory_order_acquire);
        count = playedCount_.load(std::memory_order_acquire);
        restart = playedRestart_.load(std::memory_order_acquire);
        for (std::size_t i = 0; i < PlayedKept; ++i)
            kept[i] = Played{played_[i].start.load(std::memory_order_acquire),
                             played_[i].beat.load(std::memory_order_acquire),
                             played_[i].bar.load(std::memory_order_acquire)};
        if (writing % 2 == 0 && playedWriting_.load(std::memory_order_relaxed) == writing)
            break;
    }
    if (count == 0 || restart != restarts_.load(std::memory_order_acquire))
        return false;
    const std::size_t oldest = count > PlayedKept ? count - PlayedKept : 0;
    std::size_t at = count - 1;
    while (at > oldest && kept[at % PlayedKept].start > frame)
        --at;
    played = kept[at % PlayedKept];
    return true;
}

bool LoopBuffer::AtBeat() const
{
    const std::size_t beat = playing_->beat ? playing_->beat : playing_->samples.size();
    return readIndex_ % beat == 0;
}

void LoopBuffer::Cross(double startFrame)
{
    Sound* old = playing_;
    const std::size_t at = readIndex_;
    // Retired once faded, not now.
    playing_ = nullptr;
    TakePending(startFrame);
    if (!playing_) {
        playing_ = old;
        readIndex_ = at;
        return;
    }
    fading_ = old;
    fadingIndex_ = at;
    fadingLeft_ = CrossingFrames;
}

void LoopBuffer::MixFading(float* out, std::size_t frames)
{
    if (!fading_ || fadingLeft_ == 0)
        return;
    const std::vector<float>& old = fading_->samples;
    for (std::size_t i = 0; i < frames && fadingLeft_ > 0; ++i, --fadingLeft_) {
        const float gain = float(fadingLeft_) / float(CrossingFrames);
        out[i] = out[i] * (1.0f - gain) + old[fadingIndex_] * gain;
        fadingIndex_ = (fadingIndex_ + 1) % old.size();
    }
}

void LoopBuffer::RetireFaded()
{
    const std::size_t written = retiredWritten_.load(std::memory_order_relaxed);
    // With the ring full it waits for the GUI thread, out of play.
    if (!fading_ || fadingLeft_ > 0 || written - retiredRead_.load(std::memory_order_acquire) == RetiredSlots)
        return;
    retired_[written % RetiredSlots].store(fading_, std::memory_order_release);
    retiredWritten_.store(written + 1, std::memory_order_release);
    fading_ = nullptr;
}

int LoopBuffer::PlayCallback(void*, void* output, unsigned long frames, double outTime, void*)
{
    float* out = static_cast<float*>(output);
    if (!out)
        return 0;
    const SoleEntry::Pass pass(engine_);
    if (!pass) {
        std::fill(out, out + frames, 0.0f);
        return 0;
    }
    RetireFaded();
    if (restart_.exchange(false, std::memory_order_acq_rel)) {
        // A stream that starts begins with the newest sound alone.
        crossing_.store(false, std::memory_order_relaxed);
        fadingLeft_ = 0;
        TakePending(outTime);
        readIndex_ = 0;
        NotePlayed(outTime, true);
    }
    bool crossing = true;
    // One crossing at a time: a newer sound waits for the last one's fade.
    if (!fading_ && playing_ && !playing_->samples.empty()
        && crossing_.compare_exchange_strong(crossing, false, std::memory_order_acq_rel))
        Cross(outTime);
    std::size_t done = 0;
    while (done < frames) {
        const bool silent = !playing_ || playing_->samples.empty();
        if ((silent || AtBeat()) && pending_.load(std::memory_order_acquire))
            TakePending(outTime + double(done));
        if (!playing_ || playing_->samples.empty()) {
            std::fill(out + done, out + frames, 0.0f);
            break;
        }
        const std::vector<float>& samples = playing_->samples;
        const std::size_t beat = playing_->beat ? playing_->beat : samples.size();
        // Up to the next beat at most, where a new sound may take over.
        const std::size_t take = std::min({std::size_t(frames) - done, samples.size() - readIndex_,
                                           beat - readIndex_ % beat});
        std::copy_n(samples.begin() + long(readIndex_), take, out + done);
        done += take;
        readIndex_ = (readIndex_ + take) % samples.size();
    }
    MixFading(out, frames);
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
    SetSamples(std::move(bar), n);
    return true;
}

void LoopBuffer::BuildTone(float frequency)
{
    std::vector<float> tone;
    // Built at the press: seconds of sine turned on from sample to sample,
    // not each computed afresh, which held the press several milliseconds.
    GenerateLongSine(frequency, ReferenceToneDuration(frequency), Rate, tone);
    ApplyLoudness(tone, loudnessCurve_, frequency);
    SetSamples(std::move(tone), 0, HandOver::Crossing);
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
    loudnessCurve_.swap(curve);
}

void LoopBuffer::SetSamples(std::vector<float> samples, std::size_t beatLength, HandOver handOver)
{
    Collect();
    auto* sound = new Sound{std::move(samples), beatLength};
    // A sound handed over before and not yet taken was never played.
    delete pending_.exchange(sound, std::memory_order_acq_rel);
    crossing_.store(handOver == HandOver::Crossing, std::memory_order_release);
    newest_ = sound;
}

void LoopBuffer::Restart()
{
    restarts_.fetch_add(1, std::memory_order_acq_rel);
    restart_.store(true, std::memory_order_release);
}

std::size_t LoopBuffer::Size() const
{
    return newest_ ? newest_->samples.size() : 0;
}

std::vector<float> LoopBuffer::Samples() const
{
    return newest_ ? newest_->samples : std::vector<float>();
}
