// The one shared record of tuning and metronome parameters that the audio
// side and the whole application read and write, with the note table that
// names a measured frequency. Scalars are atomic: the audio thread reads
// them while the GUI thread writes.
#pragma once

#include "audio/OctaveLookup.h"

#include <atomic>
#include <functional>
#include <string>

class NoteStore;

class AppState {
public:
    static AppState& Instance();

    AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    std::atomic<int> MaxFrequency{2700};
    OctaveLookup Notes;
    std::atomic<float> ReferenceFrequency{440.0f};
    std::atomic<int> Bpm{114};
    std::atomic<int> Accent{4};
    std::atomic<int> TransposeShift{0};
    std::atomic<int> Threshold{5};
    std::atomic<int> LevelOffsetDb{20};
    std::atomic<int> LevelRangeDb{100};
    std::atomic<float> TunerUpdateInterval{0.05f};
    std::atomic<float> WindowUpdateInterval{0.25f};
    std::atomic<float> MetronomeUpdateInterval{0.05f};
    // Told the number of spectrum bins below a new upper frequency.
    std::function<void(int)> OnChange;
    std::string Version;

    float GetReferenceFrequency() const { return ReferenceFrequency; }
    void SetReferenceFrequency(float hz) { ReferenceFrequency = hz; }
    int GetBpm() const { return Bpm; }
    void SetBpm(int bpm) { Bpm = bpm; }
    int GetAccent() const { return Accent; }
    void SetAccent(int beats) { Accent = beats; }
    int GetTransposeShift() const { return TransposeShift; }
    void SetTransposeShift(int shift) { TransposeShift = shift; }
    void SetThreshold(int threshold) { Threshold = threshold; }
    float GetTunerUpdateInterval() const { return TunerUpdateInterval; }
    float GetWindowUpdateInterval() const { return WindowUpdateInterval; }
    float GetMetronomeUpdateInterval() const { return MetronomeUpdateInterval; }
    std::string GetVersion() const { return Version; }

    // Stores the upper frequency and tells OnChange, when set, the number of
    // bins of an 8192-point transform at 44100 Hz below it (502 for 2700).
    void SetMaxFrequency(int hz);

    void BuildNotes(const NoteStore& store) { Notes.Build(store); }
    // The name and the label of the note-table entry nearest to f; empty
    // when the table is empty.
    std::string NearestNoteName(float f) const;
    std::string NearestNoteLabel(float f) const;
    // The frequency of the entry below or above the one nearest to f (that
    // entry's own at either end of the table); f itself when the table is
    // empty.
    float LowerNoteFrequency(float f) const;
    float UpperNoteFrequency(float f) const;
    // f moved |shift| entries down (shift < 0) or up the note table. More
    // steps than the table has entries end at its end all the same, so they
    // are not walked.
    float TransposeFrequency(float f, int shift) const;
};
