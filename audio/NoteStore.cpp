#include "audio/NoteStore.h"

NoteStore::NoteStore(TiXmlElement* element)
{
    if (!element)
        return;
    for (TiXmlElement* child : GetChildren(element, "Note")) {
        Note note(child, true);
        notes_.emplace(note.GetName(), note);
    }
}

float NoteStore::GetFrequency(const std::string& name) const
{
    const auto it = notes_.find(name);
    return it == notes_.end() ? 0.0f : it->second.GetFrequency();
}
