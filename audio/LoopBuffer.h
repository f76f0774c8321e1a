#pragma once
// One sound that a playback stream repeats without end: a metronome bar or the
// tuner's reference tone. Built on the GUI thread and handed to the engine
// thread without a lock: the engine takes a new bar at the next beat of the
// one it plays, a new tone at once, crossing over from the old one, and only
// the GUI thread frees sounds. It keeps, for the beat displays, where each
// sound it took began in the stream and how long its beats and bar are.
// Process-wide; use after destruction at exit throws std::logic_error "Dead
// Reference Detected".
#include "audio/CurveLookup.h"
#include "audio/SoleEntry.h"
#include "audio/WaveGenerators.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <vector>

class TuneConfig;
namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class LoopBuffer {
public:
    static constexpr int Rate = 44100;
    // Longest bar built: a bar is held whole, beat after beat.
    static constexpr int MaxBeatsPerBar = 32;

    static LoopBuffer& Instance();
    ~LoopBuffer();
    LoopBuffer(const LoopBuffer&) = delete;
    LoopBuffer& operator=(const LoopBuffer&) = delete;

    // Engine thread. Fills the output from the sound, continuing where the
    // last call ended and wrapping at its end; silence while the sound is
    // empty. outTime is the stream frame at which this output starts. A call
    // made while another is under way (two streams on this buffer at once)
    // plays silence and changes nothing.
    int PlayCallback(void* input, void* output, unsigned long frames, double outTime, void* userData);
    // The callable a stream runs to play this buffer.
    static int Play(void* input, void* output, unsigned long frames, double outTime, void* userData);

    // One bar: beatsPerBar - 1 normal beats, then the accented one. False
    // (logged), and the sound unchanged, when bpm or beatsPerBar is below 1,
    // beatsPerBar above MaxBeatsPerBar, or a click cannot be made.
    bool BuildBeats(int bpm, int beatsPerBar, const ClickGenerator& normal, const ClickGenerator& accent);
    // The tuner's reference tone: a sine of the frequency whose length loops
    // without a click (see ReferenceToneDuration), scaled by the loudness
    // curve. Handed over at once (HandOver::Crossing): a retune is heard
    // without a break.
    void BuildTone(float frequency);
    // x * min(gain, 30) / 30 for every sample, gain = 10^(curve(f) / 20).
    static void ApplyLoudness(std::vector<float>& samples, const LoudnessCurve& curve, float frequency);
    // Frequency (Hz) -> loudness correction (dB) of the reference tone.
    void SetLoudnessCurve(const TuneConfig& config);
    void SetLoudnessCurve(LoudnessCurve curve);

    // Samples over which a crossing hand-over fades the old sound out and the
    // new one in (5 ms): no step, and no gap.
    static constexpr std::size_t CrossingFrames = Rate / 200;
    enum class HandOver {
        // The sound that plays goes on to the end of its beat, so that no
        // click is cut or doubled, and the new sound starts there.
        AtBeat,
        // The new sound starts at the next play-back call, the old one
        // fading out over CrossingFrames beside it.
        Crossing,
    };
    // Hands a new sound over; it starts from its beginning. beatLength: the
    // samples of a beat (the whole sound when 0).
    void SetSamples(std::vector<float> samples, std::size_t beatLength = 0, HandOver handOver = HandOver::AtBeat);
    // The next play-back call starts the newest sound from its beginning at
    // once: for a stream that starts. What the streams before it played is
    // forgotten from now on.
    void Restart();

    // A sound as the stream played it: from the stream frame start on, in
    // beats of beat frames and bars of bar frames (both 0 for silence).
    struct Played {
        double start = 0.0;
        std::size_t beat = 0;
        std::size_t bar = 0;
    };
    // The sounds taken since the stream's start that are remembered, the
    // newest last: more than are taken while the sound queued ahead (about
    // 0.15 s) waits to be heard, unless the sound changes every 20 ms.
    static constexpr std::size_t PlayedKept = 8;
    // Any thread, never holding up the engine: the sound played at that
    // stream frame, the newest taken at or before it (the oldest remembered,
    // for a frame before them all). False when the stream of the last
    // restart has played nothing yet.
    bool PlayedAt(double frame, Played& played) const;

    // The newest sound handed over.
    std::size_t Size() const;
    std::vector<float> Samples() const;

private:
    friend struct Vabo::CreateWithExitRelease<LoopBuffer>;
    // Tests hold the engine side's entry as a call under way holds it.
    friend struct LoopBufferCallUnderWay;
    LoopBuffer() = default;

    struct Sound {
        std::vector<float> samples;
        std::size_t beat = 0;
    };
    // GUI thread: frees the sounds the engine has let go of.
    void Collect();
    // Engine thread.
    void TakePending(double startFrame);
    bool AtBeat() const;
    // The pending sound takes over now; the one that played fades out.
    void Cross(double startFrame);
    void MixFading(float* out, std::size_t frames);
    void RetireFaded();
    // The sound that plays now is played from the stream frame start; a
    // restart forgets what the stream before it played.
    void NotePlayed(double start, bool restarted);

    static constexpr std::size_t RetiredSlots = 4;

    // GUI thread.
    LoudnessCurve loudnessCurve_;
    Sound* newest_ = nullptr;
    // Hand-over: the GUI thread puts the next sound in pending_, the engine
    // puts the sounds it has let go of in the retired ring.
    std::atomic<Sound*> pending_{nullptr};
    std::atomic<bool> restart_{false};
    std::atomic<bool> crossing_{false};
    std::array<std::atomic<Sound*>, RetiredSlots> retired_{};
    std::atomic<std::size_t> retiredWritten_{0};
    std::atomic<std::size_t> retiredRead_{0};
    // What the stream played: written by the engine thread alone, read as a
    // whole while playedWriting_ stays even and unchanged. playedRestart_:
    // the restart (of restarts_) that the stream playing them began with.
    struct PlayedSlot {
        std::atomic<double> start{0.0};
        std::atomic<std::size_t> beat{0};
        std::atomic<std::size_t> bar{0};
    };
    std::array<PlayedSlot, PlayedKept> played_{};
    std::atomic<std::size_t> playedCount_{0};
    std::atomic<unsigned> playedWriting_{0};
    std::atomic<unsigned> playedRestart_{0};
    std::atomic<unsigned> restarts_{0};
    // Engine thread.
    SoleEntry engine_;
    Sound* playing_ = nullptr;
    std::size_t readIndex_ = 0;
    // The sound a crossing left, while it fades out.
    Sound* fading_ = nullptr;
    std::size_t fadingIndex_ = 0;
    std::size_t fadingLeft_ = 0;
};
