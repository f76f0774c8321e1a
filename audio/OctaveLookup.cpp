#include "audio/OctaveLookup.h"

#include "audio/NoteStore.h"

#include <algorithm>
#include <cmath>

std::string StripOctaveDigits(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c < '0' || c > '9')
            out += c;
    }
    return out;
}

std::string NoteLabel(const std::string& name)
{
    std::string label;
    bool afterLetter = false;
    for (char c : name) {
        const bool letter = c >= 'A' && c <= 'G';
        // A lower-case b is the flat sign only right after a note letter or
        // another flat; elsewhere it is part of a word and dropped.
        const bool flat = c == 'b' && afterLetter;
        if (letter || c == '#' || flat)
            label += c;
        afterLetter = letter || flat;
    }
    return label;
}

void OctaveLookup::Build(const NoteStore& store)
{
    std::vector<const Note*> sorted;
    for (const auto& [name, note] : store.GetNotes())
        sorted.push_back(&note);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Note* a, const Note* b) { return a->GetFrequency() < b->GetFrequency(); });

    // Building again (a second tuner screen) must not double the table.
    entries_.clear();
    entries_.reserve(sorted.size());
    for (const Note* note : sorted)
        entries_.push_back({note->GetName(), NoteLabel(note->GetName()), note->GetFrequency()});
}

const NoteName* OctaveLookup::FindNearest(float f) const
{
    const NoteName* nearest = nullptr;
    float best = 30000.0f;
    for (const NoteName& entry : entries_) {
        // Enharmonic twins (C#4 and Db4) share a frequency: the walk goes on
        // past the second, or it would stop before a nearer note above.
        if (nearest && entry.frequency == nearest->frequency)
            continue;
        const float d = std::fabs(entry.frequency - f);
        if (!(d < best))
            return nearest;
        nearest = &entry;
        best = d;
    }
    return nearest;
}

const NoteName& OctaveLookup::Previous(const NoteName& e) const
{
    const auto match = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const NoteName& entry) { return entry.frequency == e.frequency; });
    if (match == entries_.end() || match == entries_.begin())
        return e;
    return *(match - 1);
}

const NoteName& OctaveLookup::Next(const NoteName& e) const
{
    auto match = std::find_if(entries_.begin(), entries_.end(),
                              [&](const NoteName& entry) { return entry.frequency == e.frequency; });
    if (match == entries_.end())
        return e;
    // Past e's enharmonic twins, so that a step up changes the frequency.
    while (match + 1 != entries_.end() && (match + 1)->frequency == e.frequency)
        ++match;
    if (match + 1 == entries_.end())
        return e;
    return *(match + 1);
}
