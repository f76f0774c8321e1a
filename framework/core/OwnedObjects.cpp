#include "framework/core/OwnedObjects.h"

#include <algorithm>

namespace Vabo {

GuiObject* OwnedObjects::Find(const std::string& name) const
{
    const auto found = firstByName_.find(name);
    return found == firstByName_.end() ? nullptr : found->second->second.get();
}

std::shared_ptr<GuiObject> OwnedObjects::Put(const std::string& name, std::shared_ptr<GuiObject> object)
{
    const auto found = firstByName_.find(name);
    if (found == firstByName_.end()) {
        Add(name, std::move(object));
        return nullptr;
    }
    Entries::iterator entry = found->second;
    byObject_.erase(entry->second.get());
    byObject_[object.get()] = entry;
    return std::exchange(entry->second, std::move(object));
}

void OwnedObjects::Add(const std::string& name, std::shared_ptr<GuiObject> object)
{
    const auto entry = entries_.emplace(entries_.end(), name, std::move(object));
    firstByName_.emplace(name, entry);
    byObject_[entry->second.get()] = entry;
}

std::shared_ptr<GuiObject> OwnedObjects::Take(GuiObject* object)
{
    const auto found = byObject_.find(object);
    if (found == byObject_.end())
        return nullptr;
    const Entries::iterator entry = found->second;
    byObject_.erase(found);
    const auto first = firstByName_.find(entry->first);
    if (first != firstByName_.end() && first->second == entry) {
        // Another object of the same name, if any, is found from now on.
        const auto next = std::find_if(std::next(entry), entries_.end(),
                                       [&](const Entry& other) { return other.first == entry->first; });
        if (next == entries_.end())
            firstByName_.erase(first);
        else
            first->second = next;
    }
    std::shared_ptr<GuiObject> taken = std::move(entry->second);
    entries_.erase(entry);
    return taken;
}

std::list<OwnedObjects::Entry> OwnedObjects::TakeAll()
{
    firstByName_.clear();
    byObject_.clear();
    return std::exchange(entries_, {});
}

} // namespace Vabo
