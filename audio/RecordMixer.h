#pragma once
// The recording side of the mixer: lists the recording source lines, makes
// one of them the recording source, reads and sets line volumes, and reports
// changes made elsewhere to registered callbacks. Process-wide (GUI thread);
// use after destruction at exit throws std::logic_error "Dead Reference Detected".
#include "audio/MixerClient.h"

#include <string>
#include <vector>

namespace Vabo {
template <class T> struct CreateWithExitRelease;
}

class RecordMixer : public MixerClient {
public:
    static RecordMixer& Instance();

    // Opens mixer device 0 (a missing mixer leaves every query failing).
    explicit RecordMixer(Opener opener, ServerCheck serverAnswers = {});

    int GetInputLines(std::vector<MixerLine>& out) const;
    int GetOutputLines(std::vector<MixerLine>& out) const;
    bool FindLineByName(const std::string& name, MixerLine& out) const;
    bool FindLineByComponentType(unsigned componentType, MixerLine& out) const;
    bool HasControl(unsigned componentType, unsigned controlType) const;
    bool RegisterControlOfComponentType(unsigned componentType, unsigned controlType, const ControlCallback& callback);
    bool UnregisterControlOfComponentType(unsigned componentType, unsigned controlType);

    // Makes the line the recording source, now and on every mixer that opens
    // later, until the choice is changed elsewhere; false when there is no
    // source choice, it is not registered, no item selects the line, or the
    // write fails.
    bool SelectInput(const MixerLine& line);
    bool SelectInputByComponentType(unsigned componentType);
    // The chosen source line; -1 when it cannot be told.
    int GetSelectedInput(MixerLine& out);
    // The same as a number: the chosen line's id, -1.0 when it cannot be told.
    double GetSelectedInputValue(MixerLine& out);
    // 1.0 chosen, 0.0 not, -1.0 when it cannot be told.
    double IsInputSelected(const MixerLine& line);
    double IsInputSelectedOfComponentType(unsigned componentType);

    bool SetVolumeOfComponentType(unsigned componentType, double fraction);
    double GetVolumeOfComponentType(unsigned componentType);
    double GetVolumeMaxOfComponentType(unsigned componentType) const;
    double GetDestinationVolume(unsigned componentType);
    // 1.0 muted, 0.0 not (or no mute control), -1.0 when it cannot be read.
    double GetMute(unsigned componentType);

private:
    friend struct Vabo::CreateWithExitRelease<RecordMixer>;
    RecordMixer();

    bool ChoiceControl(MixerControl& out) const;
    void ApplyWanted() override;
};
