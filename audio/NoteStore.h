// Every note the tuner knows, by name: the source of the note frequencies of
// the styles and of the octave lookup.
#pragma once

#include "audio/Note.h"
#include "framework/core/XMLLoadSave.h"

#include <map>
#include <string>

class NoteStore : public XMLLoadSave {
public:
    NoteStore() = default;
    // Reads the "Note" children with "Name" and "Frequency" required; of two
    // notes of the same name the first is kept. A null element gives an
    // empty store.
    explicit NoteStore(TiXmlElement* element);
    ~NoteStore() override = default;

    const std::map<std::string, Note>& GetNotes() const { return notes_; }
    // The named note's frequency, 0.0 when the store has no such note.
    float GetFrequency(const std::string& name) const;

private:
    std::map<std::string, Note> notes_;
};
