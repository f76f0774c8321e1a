#pragma once
// An open mixer seen as lines and controls: the recording destination with
// every capture element (or capture-source item) as a source line under its
// own name ("Mic..." the microphone, "Line..." the line-in), and the speakers
// destination whose wave-out line is "Master" (else "PCM"). Volumes run from
// 0 to 65535 on every card.
#include "audio/MixerTypes.h"
#include "platform/MixerBackend.h"

#include <memory>
#include <vector>

class MixerDevice {
public:
    explicit MixerDevice(std::unique_ptr<Platform::MixerBackend> backend);

    // The destination's own line first, then its source lines (none when it
    // has none). Returns the number of lines written.
    int ListSourceLines(std::vector<MixerLine>& out, unsigned destinationType) const;
    bool GetLineByComponentType(unsigned componentType, MixerLine& out) const;
    bool GetControlOfLine(const MixerLine& line, unsigned controlType, MixerControl& out) const;
    bool GetControlOfComponentType(unsigned componentType, unsigned controlType, MixerControl& out) const;
    bool GetControlById(unsigned controlId, MixerControl& out) const;
    std::vector<MixerControl> ControlsOfLine(const MixerLine& line) const;
    // Keeps the lines that have a control of that type; their number, or -1
    // when a line is not one of this mixer's or the mixer is lost.
    int FilterLinesByControlType(std::vector<MixerLine>& lines, unsigned controlType) const;

    // -1.0 on failure. A source choice reads as the component type of the
    // chosen line (0 when none is chosen).
    double GetControlValue(unsigned controlId);
    // The same value read as a signed 32-bit number.
    double GetControlValueSigned(unsigned controlId);
    bool SetControlValue(unsigned controlId, unsigned value);
    bool SetControlBool(unsigned controlId, bool value);
    bool GetListItems(unsigned controlId, std::vector<MixerListItem>& out) const;
    bool GetListValues(unsigned controlId, std::vector<bool>& out);
    bool SetListValues(unsigned controlId, const std::vector<bool>& values);
    bool GetChannelValues(unsigned controlId, std::vector<unsigned>& out);
    bool SetChannelValues(unsigned controlId, const std::vector<unsigned>& values);

    // The controls whose values changed elsewhere since the last poll.
    std::vector<unsigned> Poll();
    // The connection to the mixer is gone: reads answer what was last read,
    // and writes reach nothing.
    bool Lost() const { return backend_->Lost(); }

private:
    enum class Kind { Volume, Mute, Choice };
    struct ControlRecord {
        MixerControl control;
        Kind kind = Kind::Volume;
        int element = -1; // volume, mute, or the enumeration of a choice
        bool capture = false;
        std::vector<MixerListItem> items;
        std::vector<int> itemElements; // switch elements of a multiple choice
    };
    struct LineRecord {
        MixerLine line;
        int enumItem = -1;
    };

    void BuildCapture();
    void BuildPlayback();
    unsigned AddControl(ControlRecord record);
    void AddLine(unsigned lineId, unsigned componentType, unsigned channels, const std::string& name);
    // Adds the volume or mute control of one mixer element to a line.
    void AddElementControl(Kind kind, unsigned lineId, int element, bool capture);
    const ControlRecord* Control(unsigned controlId) const;
    const LineRecord* Line(unsigned lineId) const;
    int ChosenItem(const ControlRecord& c);
    bool ReadControl(unsigned controlId, unsigned& value);

    std::unique_ptr<Platform::MixerBackend> backend_;
    std::vector<LineRecord> lines_;
    std::vector<ControlRecord> controls_; // id = index + 1
};
