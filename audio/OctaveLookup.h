// The frequency-sorted table of every note of the configuration, used to
// name a measured frequency and to step to the notes below and above it.
#pragma once

#include <string>
#include <vector>

class NoteStore;

// The name without any of the digits 0-9: "A#10" -> "A#".
std::string StripOctaveDigits(const std::string& name);
// The note letters "A" to "G" of the name with their sharp "#" and flat "b"
// signs, in order: "D#4" -> "D#", "Bb3" -> "Bb".
std::string NoteLabel(const std::string& name);

struct NoteName {
    std::string name;
    std::string label;
    float frequency = 0.0f;
};

class OctaveLookup {
public:
    OctaveLookup() = default;
    virtual ~OctaveLookup() = default;

    // Replaces the table by the store's notes, sorted by ascending frequency
    // (notes of equal frequency keep their store order).
    void Build(const NoteStore& store);

    // The entry nearest to f (ties keep the lower one, twins of equal
    // frequency the first); null when the table is empty.
    const NoteName* FindNearest(float f) const;
    // The entries beside e's exact frequency matches (several for enharmonic
    // twins), so a step always changes the frequency; e itself at either end
    // of the table or when nothing matches.
    const NoteName& Previous(const NoteName& e) const;
    const NoteName& Next(const NoteName& e) const;

    const std::vector<NoteName>& Entries() const { return entries_; }
    bool IsEmpty() const { return entries_.empty(); }

private:
    std::vector<NoteName> entries_;
};
