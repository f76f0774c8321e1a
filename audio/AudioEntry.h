#pragma once
// One click set of the metronome from its "Sample" element: the name shown in
// the output choice and the sound files of the plain and the accented click.
#include "framework/core/XMLLoadSave.h"

#include <string>

class AudioEntry : public XMLLoadSave {
public:
    AudioEntry() = default;
    // Throws XMLLoadSave::XMLLoadSaveException when "Name", "Normal" or
    // "Accent" is missing.
    explicit AudioEntry(TiXmlElement* element);

    // Reads the three attributes in that order, stopping at the first missing one.
    bool Load(TiXmlElement* element);

    const std::string& GetName() const { return name_; }
    const std::string& GetNormal() const { return normal_; }
    const std::string& GetAccent() const { return accent_; }

private:
    std::string name_;
    std::string normal_;
    std::string accent_;
};
