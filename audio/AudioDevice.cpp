#include "audio/AudioDevice.h"

#include "audio/AppState.h"
#include "audio/LatestBlock.h"
#include "audio/LoopBuffer.h"
#include "audio/PitchTracker.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordBuffer.h"
#include "audio/RecordMixer.h"
#include "platform/Log.h"
#include "platform/PaAdapter.h"

#include "framework/core/Singleton.h"

#include <algorithm>

namespace {

// Inputs decimated per step: the scratch buffer holds one step's output.
constexpr int ScratchLength = 513;
constexpr int StepInputs = (ScratchLength - 1) * Decimator::DefaultFactor;

} // namespace

AudioDevice& AudioDevice::Instance()
{
    return Vabo::SingletonHolder<AudioDevice>::Instance();
}

AudioDevice::AudioDevice()
    : state_(AppState::Instance())
    , loopBuffer_(LoopBuffer::Instance())
    , recordBuffer_(RecordBuffer::Instance())
    , output_(CaptureRate, CaptureFrames, false)
    , input_(CaptureRate, CaptureFrames)
    , scratch_(ScratchLength)
    , blockBuffer_(BlockLength, [block = &LatestBlock::Instance()](const float* s, unsigned n) { block->Set(s, n); })
    , analysisWindow_(WindowLength, WindowHop,
                      [tracker = &PitchTracker::Instance()](const float* s, unsigned n) { tracker->SetWindow(s, n); })
{
    input_.SetCallback(CaptureCallback(), nullptr);

    // Either mixer may open long after the device is made (a slow sound
    // server), or again after it went away: the device sets itself up on it
    // whenever it opens.
    const std::weak_ptr<AudioDevice*> device = self_;
    RecordMixer& record = RecordMixer::Instance();
    record.AddOpenListener([device] {
        if (const auto self = device.lock())
            (*self)->RecordMixerOpened();
    });
    if (record.IsOpen())
        RecordMixerOpened();
    PlaybackMixer& playback = PlaybackMixer::Instance();
    playback.AddOpenListener([device] {
        if (const auto self = device.lock())
            (*self)->PlaybackMixerOpened();
    });
    if (playback.IsOpen())
        PlaybackMixerOpened();
}

void AudioDevice::RecordMixerOpened()
{
    RecordMixer& mixer = RecordMixer::Instance();
    MixerLine line;
    namedInputs_.clear();
    if (mixer.FindLineByComponentType(MixerComponent::SrcMicrophone, line) || mixer.FindLineByName("Microphone", line))
        namedInputs_["MIC"] = line;
    if (mixer.FindLineByComponentType(MixerComponent::SrcLine, line) || mixer.FindLineByName("Line In", line))
        namedInputs_["LINE"] = line;
    // The source choice is watched before the first input is selected: the
    // mixer only writes a choice it watches.
    MixerLine destination;
    if (mixer.FindLineByComponentType(MixerComponent::DstWaveIn, destination)) {
        const auto onSource = [this](double value) { OnSourceChange(value); };
        if (mixer.HasControl(MixerComponent::DstWaveIn, MixerControlType::Mux))
            mixer.RegisterControl(destination, MixerControlType::Mux, onSource);
        else if (mixer.HasControl(MixerComponent::DstWaveIn, MixerControlType::Mixer))
            mixer.RegisterControl(destination, MixerControlType::Mixer, onSource);
    }
    RefreshInputs(namedInputs_);
    inputsListed_ = true;
    // The line chosen on an earlier mixer stays chosen when this one has it.
    std::string chosen;
    for (const auto& input : inputLines_)
        if (!selectedLine_.name.empty() && input.second.name == selectedLine_.name)
            chosen = input.first;
    if (chosen.empty() && !inputLines_.empty())
        chosen = inputLines_.begin()->first;
    if (!chosen.empty())
        SelectInput(chosen);
    if (wantedInputVolume_ >= 0)
        SetInputVolume(wantedInputVolume_);
    const std::vector<std::function<void()>> listeners = inputsListeners_;
    for (const auto& listener : listeners)
        listener();
    for (const auto& listener : std::vector<std::function<void()>>(volumeListeners_))
        listener();
}

void AudioDevice::PlaybackMixerOpened()
{
    PlaybackMixer& playback = PlaybackMixer::Instance();
    if (playback.HasControl(MixerComponent::SrcWaveOut, MixerControlType::Volume)) {
        MixerLine wave;
        playback.FindLineByComponentType(MixerComponent::SrcWaveOut, wave);
        playback.RegisterControlOfComponentType(
            MixerComponent::SrcWaveOut, [this, wave](double) { OnVolumeChange(wave); }, MixerControlType::Volume);
    }
    if (wantedOutputVolume_ >= 0)
        SetOutputVolume(wantedOutputVolume_);
    for (const auto& listener : std::vector<std::function<void()>>(volumeListeners_))
        listener();
}

AudioDevice::~AudioDevice()
{
    if (output_.IsOpen()) {
        output_.Stop();
        output_.Close();
    }
    if (input_.IsOpen()) {
        input_.Stop();
        input_.Close();
    }
}

StreamCallback AudioDevice::CaptureCallback()
{
    return [this](void* input, void* output, unsigned long frames, double outTime, void* userData) {
        return OnInput(input, output, frames, outTime, userData);
    };
}

StreamCallback AudioDevice::RecordingCallback(RecordBuffer& buffer)
{
    return [this, &buffer](void* input, void* output, unsigned long frames, double outTime, void* userData) {
        if (input)
            buffer.Append(static_cast<const float*>(input), frames);
        return OnInput(input, output, frames, outTime, userData);
    };
}

StreamCallback AudioDevice::PlaybackCallback(LoopBuffer& buffer)
{
    return [&buffer](void* input, void* output, unsigned long frames, double outTime, void* userData) {
        return buffer.PlayCallback(input, output, frames, outTime, userData);
    };
}

StreamCallback AudioDevice::PlaybackCallback(RecordBuffer& buffer)
{
    return [&buffer](void* input, void* output, unsigned long frames, double outTime, void* userData) {
        return buffer.PlayCallback(input, output, frames, outTime, userData);
    };
}

int AudioDevice::OnInput(void* input, void*, unsigned long frames, double, void*)
{
    const float* in = static_cast<const float*>(input);
    const SoleEntry::Pass pass(capturing_);
    if (!in || !pass)
        return 0;
    // Decimated into our own scratch: the caller's block stays intact (the
    // recorder keeps it).
    for (unsigned long done = 0; done < frames;) {
        const int step = int(std::min<unsigned long>(frames - done, StepInputs));
        const int n = decimator_.Process(in + done, step, scratch_.data());
        blockBuffer_.Push(scratch_.data(), n);
        analysisWindow_.Push(scratch_.data(), n);
        done += unsigned(step);
    }
    return 0;
}

int AudioDevice::StartInput(int sampleRate, unsigned long frames, const StreamCallback& callback)
{
    if (input_.IsOpen())
        input_.Close();
    // A stream that did not open is not started: its own failure is the answer.
    captureLost_ = true;
    if (input_.Open(sampleRate, frames) != 0)
        return input_.GetError();
    input_.SetCallback(callback, nullptr);
    const int result = input_.Start(false);
    captureLost_ = result != 0;
    captureLossTold_ = result != 0;
    return result;
}

int AudioDevice::StartInput(int sampleRate, unsigned long frames, RecordBuffer& buffer)
{
    buffer.Prepare();
    return StartInput(sampleRate, frames, RecordingCallback(buffer));
}

int AudioDevice::StartOutput(int sampleRate, unsigned long frames, const StreamCallback& callback, bool loop)
{
    if (output_.IsOpen()) {
        output_.Stop();
        output_.Close();
    }
    outputLost_ = true;
    outputLossTold_ = true;
    output_.SetHostFrames(OutputHostFrames);
    if (output_.Open(sampleRate, frames) != 0)
        return output_.GetError();
    output_.SetCallback(callback, nullptr);
    const int result = output_.Start(loop);
    outputLost_ = result != 0;
    outputLossTold_ = result != 0;
    return result;
}

int AudioDevice::StartOutput(int sampleRate, unsigned long frames, LoopBuffer& buffer)
{
    // A stream that stops plays on while it fades out: restarted before, the
    // buffer would be restarted by its last calls, and the new stream would
    // take the sound up part-way.
    StopOutput();
    buffer.Restart();
    // Asked for its frames at every buffer, not filled once: a new sound is
    // handed over while it plays.
    return StartOutput(sampleRate, frames, PlaybackCallback(buffer), false);
}

int AudioDevice::StartOutput(int sampleRate, unsigned long frames, RecordBuffer& buffer)
{
    return StartOutput(sampleRate, frames, PlaybackCallback(buffer), false);
}

int AudioDevice::RestartCapture()
{
    if (CaptureLost() || !input_.IsOpen())
        return StartInput(CaptureRate, CaptureFrames, CaptureCallback());
    input_.Stop();
    input_.SetCallback(CaptureCallback(), nullptr);
    const int result = input_.Start(false);
    captureLost_ = result != 0;
    captureLossTold_ = result != 0;
    return result;
}

int AudioDevice::RetryCapture()
{
    if (!Platform::Pa::ServerAnswers(0))
        return Platform::Pa::TimedOut;
    return RestartCapture();
}

void AudioDevice::SetSlowCapture(bool slow)
{
    const unsigned long frames = slow ? SlowCaptureFrames : 0;
    if (input_.GetHostFrames() == frames)
        return;
    input_.SetHostFrames(frames);
    if (input_.IsActive() && !CaptureLost() && input_.StalledFor() <= CaptureDeliversWithinMs)
        RestartCapture();
}

bool AudioDevice::CaptureLost()
{
    if (!captureLost_ && input_.HasDied())
        captureLost_ = true;
    return captureLost_;
}

bool AudioDevice::OutputLost()
{
    if (!outputLost_ && output_.HasDied())
        outputLost_ = true;
    return outputLost_;
}

void AudioDevice::AddLossListener(const LossListener& listener)
{
    lossListeners_.push_back(listener);
}

void AudioDevice::WatchStreams()
{
    if (!captureLossTold_ && input_.HasDied())
        TellLoss(StreamKind::Capture);
    if (!outputLossTold_ && output_.HasDied())
        TellLoss(StreamKind::Output);
}

void AudioDevice::TellLoss(StreamKind kind)
{
    (kind == StreamKind::Capture ? captureLost_ : outputLost_) = true;
    (kind == StreamKind::Capture ? captureLossTold_ : outputLossTold_) = true;
    // A listener may add another.
    const std::vector<LossListener> listeners = lossListeners_;
    for (const auto& listener : listeners)
        listener(kind);
}

void AudioDevice::SelectInput(const std::string& name)
{
    const auto it = inputLines_.find(name);
    if (it == inputLines_.end())
        return;
    selectedLine_ = it->second;
    if (!RecordMixer::Instance().SelectInput(selectedLine_))
        Platform::Log("audio: the mixer cannot make \"" + name + "\" the recording source");
}

void AudioDevice::RefreshInputs(const InputMap& lines)
{
    inputLines_ = lines.empty() ? ListInputs() : lines;
    WatchInputVolumes(inputLines_);
}

AudioDevice::InputMap AudioDevice::ListInputs() const
{
    std::vector<MixerLine> lines;
    RecordMixer::Instance().GetInputLines(lines);
    InputMap map;
    for (const MixerLine& line : lines)
        map.emplace(line.shortName, line);
    return map;
}

void AudioDevice::WatchInputVolumes(const InputMap& lines)
{
    for (const auto& entry : lines) {
        const MixerLine line = entry.second;
        RecordMixer::Instance().RegisterControl(line, MixerControlType::Volume,
                                                [this, line](double) { OnVolumeChange(line); });
    }
}

void AudioDevice::OnVolumeChange(const MixerLine& line)
{
    if (line.componentType != MixerComponent::SrcWaveOut && line.lineId != selectedLine_.lineId)
        return;
    for (const auto& listener : volumeListeners_)
        listener();
}

void AudioDevice::OnSourceChange(double value)
{
    if (value == double(selectedLine_.componentType))
        return;
    for (const auto& listener : sourceListeners_)
        listener(value);
}

void AudioDevice::AddOutputVolumeListener(const std::function<void()>& listener)
{
    volumeListeners_.push_back(listener);
}

void AudioDevice::AddInputListener(const std::function<void(double)>& listener)
{
    sourceListeners_.push_back(listener);
}

void AudioDevice::AddInputsListener(const std::function<void()>& listener)
{
    inputsListeners_.push_back(listener);
}

std::string AudioDevice::FindInputName(unsigned componentType) const
{
    for (const auto& entry : inputLines_)
        if (entry.second.componentType == componentType)
            return entry.first;
    return std::string();
}

int AudioDevice::GetInputFullScale() const
{
    double maximum = RecordMixer::Instance().GetLineVolumeMax(selectedLine_);
    // Without a volume control the input is still on the common 0..65535 scale.
    if (maximum <= 0.0)
        maximum = 65535.0;
    return int(0.5 * maximum + 0.5);
}

namespace {

int Percent(double fraction)
{
    const double p = 100.0 * fraction;
    return int(p < 0.0 ? p - 0.5 : p + 0.5);
}

} // namespace

void AudioDevice::SetOutputVolume(int value)
{
    if (value > 100)
        return;
    PlaybackMixer& mixer = PlaybackMixer::Instance();
    const bool written = mixer.SetVolumeOfComponentType(MixerComponent::SrcWaveOut, value * 0.01);
    wantedOutputVolume_ = written || mixer.Device() ? -1 : value;
}

int AudioDevice::GetOutputVolume()
{
    if (wantedOutputVolume_ >= 0)
        return wantedOutputVolume_;
    return Percent(PlaybackMixer::Instance().GetVolumeOfComponentType(MixerComponent::SrcWaveOut));
}

void AudioDevice::SetInputVolume(int value)
{
    if (value > 100)
        return;
    RecordMixer& mixer = RecordMixer::Instance();
    const bool written = mixer.SetLineVolume(selectedLine_, value * 0.01);
    wantedInputVolume_ = written || mixer.Device() ? -1 : value;
}

int AudioDevice::GetInputVolume()
{
    if (wantedInputVolume_ >= 0)
        return wantedInputVolume_;
    return Percent(RecordMixer::Instance().GetLineVolume(selectedLine_));
}
