// One named pitch of the tuning configuration, such as a string of an
// instrument: a name (which may carry an octave number) and a frequency.
#pragma once

#include "framework/core/XMLLoadSave.h"

#include <string>

class TiXmlElement;

class Note : public XMLLoadSave {
public:
    Note(const std::string& name, float frequency);
    // Reads "Name" then "Frequency"; a missing required one is the XML
    // error, a missing optional one leaves the name empty or 0.0 Hz.
    Note(TiXmlElement* element, bool required);
    Note(const Note&) = default;
    Note& operator=(const Note&) = default;
    ~Note() override = default;

    const std::string& GetName() const { return name_; }
    float GetFrequency() const { return frequency_; }

private:
    std::string name_;
    float frequency_ = 0.0f;
};
