// An instrument of the tuning configuration and its tuning styles.
#pragma once

#include "audio/Style.h"
#include "framework/core/XMLLoadSave.h"

#include <string>
#include <vector>

class Instrument : public XMLLoadSave {
public:
    Instrument() = default;
    // Reads "Name" (required) and the "Style" children.
    explicit Instrument(TiXmlElement* element);
    Instrument(const Instrument&) = default;
    Instrument& operator=(const Instrument&) = default;
    ~Instrument() override = default;

    const std::string& GetName() const { return name_; }
    const std::vector<Style>& GetStyles() const { return styles_; }

    // A copy of the first style of that name (case matters); false when
    // there is none.
    bool FindStyle(const std::string& name, Style& out) const;

private:
    std::string name_;
    std::vector<Style> styles_;
};
