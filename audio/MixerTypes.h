#pragma once
// The mixer's vocabulary: lines (a recording or playback destination and its
// source lines) and their controls, with the component and control type codes
// the rest of the program uses to name them.
#include <string>

namespace MixerComponent {
constexpr unsigned DstSpeakers = 4;
constexpr unsigned DstWaveIn = 7;
constexpr unsigned SrcUndefined = 0x1000;
constexpr unsigned SrcLine = 0x1002;
constexpr unsigned SrcMicrophone = 0x1003;
constexpr unsigned SrcWaveOut = 0x1008;
} // namespace MixerComponent

namespace MixerControlType {
constexpr unsigned Mute = 0x20010002;
constexpr unsigned Volume = 0x50030001;
// Single choice of the recording source.
constexpr unsigned Mux = 0x70010001;
// Multiple-choice recording source (we always select exactly one).
constexpr unsigned Mixer = 0x71010001;
} // namespace MixerControlType

struct MixerLine {
    unsigned lineId = 0;
    unsigned componentType = 0;
    unsigned channels = 0;
    unsigned connections = 0;
    unsigned controls = 0;
    std::string name;
    std::string shortName;
};

struct MixerControl {
    unsigned controlId = 0;
    unsigned controlType = 0;
    unsigned lineId = 0;
    unsigned minimum = 0;
    unsigned maximum = 0;
    // Items of a source choice; 0 for other controls.
    unsigned multipleItems = 0;
};

// One item of a source choice: its text and the id of the line it selects.
struct MixerListItem {
    unsigned param1 = 0;
    std::string name;
};

// A mixer device: the id a mixer opens it by and its name.
struct MixerCaps {
    unsigned deviceId = 0;
    std::string name;
};
