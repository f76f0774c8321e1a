// The tuner's musical knowledge, loaded from one "Config" element of the
// skin: instruments with their styles, the note table, the transpositions,
// the recording inputs and the perceived-loudness curve.
#pragma once

#include "audio/InstrumentStore.h"
#include "audio/NoteStore.h"
#include "audio/SimpleStore.h"
#include "audio/TransposeStore.h"
#include "framework/core/XMLLoadSave.h"

#include <functional>
#include <string>
#include <vector>

class AppState;

class TuneConfig : public XMLLoadSave {
public:
    // Loudness correction in dB at a frequency in Hz.
    using PerceivedHearingVisitor = std::function<void(float hz, float db)>;

    // Builds the stores from the children "InstrumentStore", "NoteStore",
    // "TransposeStore", "InputStore" and "PerceivedHearing"; an absent child
    // gives an empty store. A "PerceivedHearing" entry whose "Name" is not a
    // frequency from 0 to 100000 Hz is the XML error.
    explicit TuneConfig(TiXmlElement* element);
    ~TuneConfig() override = default;

    bool FindInstrument(const std::string& name, Instrument& out) const { return instruments_.Find(name, out); }

    // fn(target, name) for every instrument, in store order; fn may be a
    // member function of target's class (ComboPopulator::AddEntry).
    template <class Fn, class Target> void ForEachInstrumentName(Fn fn, Target target) const
    {
        for (const Instrument& instrument : instruments_.GetInstruments())
            std::invoke(fn, target, instrument.GetName());
    }
    template <class Fn, class Target> void ForEachTransposeName(Fn fn, Target target) const
    {
        for (const auto& entry : transpositions_.GetEntries())
            std::invoke(fn, target, entry.first);
    }

    // Visits the notes of the instrument's style in order; nothing when the
    // instrument or the style does not exist.
    void VisitStyle(const std::string& instrument, const std::string& style,
                    const std::function<void(const Note&)>& visitor) const;

    // The frequency a style note is tuned to: the note table's frequency of
    // its name moved the state's transposition shift steps through the
    // state's note table; 0.0 when the table lacks the name.
    float TransposedFrequency(const Note& styleNote, const AppState& state) const;

    // Calls the visitor with every perceived-hearing entry in document order.
    void VisitPerceivedHearing(PerceivedHearingVisitor visitor) const;

    const InstrumentStore& GetInstrumentStore() const { return instruments_; }
    const NoteStore& GetNoteStore() const { return notes_; }
    const TransposeStore& GetTransposeStore() const { return transpositions_; }
    const SimpleStore<long>& GetInputStore() const { return inputs_; }
    const SimpleStore<float>& GetPerceivedHearing() const { return perceivedHearing_; }

private:
    TiXmlElement* OptionalChild(TiXmlElement* element, const char* tag);

    InstrumentStore instruments_;
    NoteStore notes_;
    TransposeStore transpositions_;
    SimpleStore<long> inputs_;
    SimpleStore<float> perceivedHearing_;
    // The frequency each perceived-hearing entry is named by.
    std::vector<float> hearingHz_;
};
