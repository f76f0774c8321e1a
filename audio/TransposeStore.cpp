#include "audio/TransposeStore.h"

TransposeStore::TransposeStore(TiXmlElement* element)
{
    if (!element)
        return;
    for (TiXmlElement* child : GetChildren(element, "Transpose")) {
        std::string name;
        int shift = 0;
        ReadXmlAttribute(name, child, "Name", true);
        ReadXmlAttribute(shift, child, "Shift", true, Vabo::kSkinValue);
        entries_.emplace_back(name, shift);
    }
}

int TransposeStore::GetShift(const std::string& name) const
{
    for (const auto& [entryName, shift] : entries_) {
        if (entryName == name)
            return shift;
    }
    return 0;
}
