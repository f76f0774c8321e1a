// One tuning of an instrument ("Standard", "Drop D"): its name and the notes
// it tunes to, in the order the configuration lists them.
#pragma once

#include "audio/Note.h"
#include "framework/core/XMLLoadSave.h"

#include <string>
#include <vector>

class Style : public XMLLoadSave {
public:
    // Reads "Name" (required) and the "Note" children, whose attributes are
    // both optional.
    explicit Style(TiXmlElement* element);
    Style(const Style&) = default;
    Style& operator=(const Style&) = default;
    ~Style() override = default;

    const std::string& GetName() const { return name_; }
    const std::vector<Note>& GetNotes() const { return notes_; }
    int GetNumber() const { return number_; }

private:
    std::string name_;
    std::vector<Note> notes_;
    // Set to 0 on loading and read by nothing; kept so the record matches
    // the configuration's model.
    int number_ = 0;
};
