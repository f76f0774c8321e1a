#include "audio/AppState.h"

#include "audio/NoteStore.h"
#include "framework/core/Singleton.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>

AppState& AppState::Instance()
{
    return Vabo::SingletonHolder<AppState>::Instance();
}

AppState::AppState()
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d", 4, 0, 810);
    Version = text;
}

void AppState::SetMaxFrequency(int hz)
{
    MaxFrequency = hz;
    if (!OnChange)
        return;
    const double bins = static_cast<double>(hz) * static_cast<double>(0.18575963f);
    OnChange(static_cast<int>(bins < 0.0 ? bins - 0.5 : bins + 0.5));
}

std::string AppState::NearestNoteName(float f) const
{
    const NoteName* nearest = Notes.FindNearest(f);
    return nearest ? nearest->name : std::string();
}

std::string AppState::NearestNoteLabel(float f) const
{
    const NoteName* nearest = Notes.FindNearest(f);
    return nearest ? nearest->label : std::string();
}

float AppState::LowerNoteFrequency(float f) const
{
    const NoteName* nearest = Notes.FindNearest(f);
    return nearest ? Notes.Previous(*nearest).frequency : f;
}

float AppState::UpperNoteFrequency(float f) const
{
    const NoteName* nearest = Notes.FindNearest(f);
    return nearest ? Notes.Next(*nearest).frequency : f;
}

float AppState::TransposeFrequency(float f, int shift) const
{
    const long long steps =
        std::min<long long>(std::llabs(static_cast<long long>(shift)), static_cast<long long>(Notes.Entries().size()));
    for (long long i = 0; i < steps; ++i)
        f = shift < 0 ? LowerNoteFrequency(f) : UpperNoteFrequency(f);
    return f;
}
