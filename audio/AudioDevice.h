#pragma once
// The process-wide owner of the playback and capture streams and of the
// recording-line choice. Its capture handler (engine thread) decimates each
// 44100 Hz block to 11025 Hz and feeds the sample displays' block
// (LatestBlock) and the pitch analysis' sliding window (PitchTracker).
// Everything else runs on the GUI thread. Use after destruction at exit
// throws std::logic_error "Dead Reference Detected".
#include "audio/Decimator.h"
#include "audio/MixerTypes.h"
#include "audio/SampleBlockBuffer.h"
#include "audio/SlidingSampleWindow.h"
#include "audio/SoleEntry.h"
#include "audio/StreamCallback.h"
#include "audio/StreamWatch.h"
#include "audio/WaveIn.h"
#include "audio/WaveOut.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}
class AppState;
class LoopBuffer;
class RecordBuffer;

class AudioDevice {
public:
    static constexpr int CaptureRate = 44100;
    static constexpr unsigned long CaptureFrames = 512;
    static constexpr unsigned long SlowCaptureFrames = 4096;
    // Longer than a slow buffer, and than any gap between the frames of a
    // capture that delivers.
    static constexpr Platform::Milliseconds CaptureDeliversWithinMs = 150;
    // Play-back reaches the host in buffers of 46 ms, whatever frames its
    // callback takes: the process wakes a quarter as often as with 512, with
    // as much queued ahead, and the time played moves on smoothly between
    // them (Platform::Pa::StreamTime).
    static constexpr unsigned long OutputHostFrames = 2048;
    static constexpr int BlockLength = 512;
    static constexpr int WindowLength = 2048;
    static constexpr int WindowHop = 128;

    using InputMap = std::map<std::string, MixerLine>;

    static AudioDevice& Instance();
    ~AudioDevice();

    // The capture handler (engine thread). A block that comes while another
    // is under way (two capture streams at once) is dropped.
    int OnInput(void* input, void* output, unsigned long frames, double outTime, void* userData);

    // The callables the streams run (engine thread): capture into the
    // analysis (OnInput); recording (every block into the buffer, then on to
    // OnInput); play-back of a loop buffer or of a recording.
    StreamCallback CaptureCallback();
    StreamCallback RecordingCallback(RecordBuffer& buffer);
    StreamCallback PlaybackCallback(LoopBuffer& buffer);
    StreamCallback PlaybackCallback(RecordBuffer& buffer);

    int StartInput(int sampleRate, unsigned long frames, const StreamCallback& callback);
    // Recording: the buffer is prepared here, before the stream starts.
    int StartInput(int sampleRate, unsigned long frames, RecordBuffer& buffer);
    int StartOutput(int sampleRate, unsigned long frames, const StreamCallback& callback, bool loop);
    // The loop buffer's sound, repeated without end, frames at a time.
    int StartOutput(int sampleRate, unsigned long frames, LoopBuffer& buffer);
    // The recording, block after block.
    int StartOutput(int sampleRate, unsigned long frames, RecordBuffer& buffer);
    // Capture back to the analysis (after recording, or when it was lost);
    // a capture that was lost goes on a stream opened anew, since the lost
    // one may still belong to the library.
    int RestartCapture();
    // RestartCapture for a retry that nobody asked for, made now and then
    // while capture is lost: it never waits on a sound server that hangs. It
    // goes ahead only once the server has answered a question asked at an
    // earlier retry (or cannot be asked), and otherwise fails at once.
    int RetryCapture();
    // Capture for the analysis in host buffers of SlowCaptureFrames (93 ms),
    // for a reading shown only now and then (the minimised tuner's title),
    // which wakes the process an eighth as often; false: back to the short
    // buffers the displays need. A capture that runs and delivers starts
    // again on them at once; any other takes them at its next start (one
    // whose frames stopped may have lost its server, and stopping it then
    // could wait for ever).
    void SetSlowCapture(bool slow);
    bool IsSlowCapture() const { return input_.GetHostFrames() == SlowCaptureFrames; }
    // Nothing to stop when no capture stream is open (it could not be opened again).
    int StopInput() { return input_.IsOpen() ? input_.Stop() : 0; }
    // Nothing to stop before the first play-back (the tuner's screen opens none).
    int StopOutput() { return output_.IsOpen() ? output_.Stop() : 0; }

    WaveIn& Input() { return input_; }
    // True from the moment the capture stream died with its device or sound
    // server (logged once), or a start of capture failed, until capture
    // starts again.
    bool CaptureLost();
    WaveOut& Output() { return output_; }
    // True from the moment the play-back stream died with its device or
    // sound server (logged once) until play-back starts again.
    bool OutputLost();

    enum class StreamKind { Capture, Output };
    using LossListener = std::function<void(StreamKind)>;
    // Told on the GUI thread, by the device's own clock, when a started
    // stream died with its device or sound server: once per start. A start
    // that fails is its caller's to report, and is not told.
    void AddLossListener(const LossListener& listener);

    // Makes the named input the recording source; nothing for an unknown name.
    void SelectInput(const std::string& name);
    const MixerLine& SelectedLine() const { return selectedLine_; }
    void RefreshInputs(const InputMap& lines);
    InputMap ListInputs() const;
    void WatchInputVolumes(const InputMap& lines);
    void OnVolumeChange(const MixerLine& line);
    void OnSourceChange(double value);
    void AddOutputVolumeListener(const std::function<void()>& listener);
    void AddInputListener(const std::function<void(double)>& listener);
    // Told when the inputs offered may have changed: a mixer opened (the
    // first, late on a slow sound server, or again after it went away).
    void AddInputsListener(const std::function<void()>& listener);
    InputMap GetInputs() const { return inputLines_; }
    // A mixer opened and its inputs were listed (none may be offered).
    bool InputsListed() const { return inputsListed_; }
    // The key of the first input of that component type; empty when none.
    std::string FindInputName(unsigned componentType) const;
    // Volumes in percent. Values above 100 are ignored. A volume that cannot
    // be read gives -100. One set before the mixer has opened is written
    // when it opens, and read as set until then.
    void SetOutputVolume(int value);
    int GetOutputVolume();
    void SetInputVolume(int value);
    int GetInputVolume();
    // Half the selected line's volume range: 32768 on every card (and when no
    // line is selected).
    int GetInputFullScale() const;

private:
    friend struct Vabo::CreateWithExitRelease<AudioDevice>;
    AudioDevice();

    // Made first, so that they outlive the device at exit: the device's
    // destructor stops and closes every stream that plays or fills them.
    AppState& state_;
    LoopBuffer& loopBuffer_;
    RecordBuffer& recordBuffer_;
    WaveOut output_;
    WaveIn input_;
    MixerLine selectedLine_;
    std::vector<std::function<void()>> volumeListeners_;
    std::vector<std::function<void(double)>> sourceListeners_;
    std::vector<std::function<void()>> inputsListeners_;
    InputMap inputLines_;
    InputMap namedInputs_;
    // Volumes set while no mixer could take them; -1: none.
    int wantedOutputVolume_ = -1;
    int wantedInputVolume_ = -1;
    bool inputsListed_ = false;
    bool captureLost_ = false;
    bool outputLost_ = false;
    // Whether the death of the stream's last start was told (or there is
    // nothing to tell): set before the listeners run, which may open a
    // modal loop on which the clock ticks again.
    bool captureLossTold_ = true;
    bool outputLossTold_ = true;
    std::vector<LossListener> lossListeners_;
    // Engine thread only: one capture callback at a time (a stream whose
    // stop stopped waiting may still be in one when its successor calls).
    SoleEntry capturing_;
    Decimator decimator_;
    std::vector<float> scratch_;
    SampleBlockBuffer blockBuffer_;
    SlidingSampleWindow analysisWindow_;
    // GUI thread; made last, so that it never checks a stream being destroyed.
    StreamWatch watch_{[this] { WatchStreams(); }};

    void WatchStreams();
    void TellLoss(StreamKind kind);
    // A mixer opened: its lines are offered, watched and chosen from anew.
    void RecordMixerOpened();
    void PlaybackMixerOpened();
    // Lets the mixers' listeners, which may outlive the device at exit, find it.
    std::shared_ptr<AudioDevice*> self_ = std::make_shared<AudioDevice*>(this);
};
