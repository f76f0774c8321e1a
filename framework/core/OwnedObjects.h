#pragma once
// The objects the factory created for one owner, in creation order, found by
// name and by address in constant time, so that building many siblings does
// not search the whole list for each one.
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

namespace Vabo {

class GuiObject;

class OwnedObjects {
public:
    using Entry = std::pair<std::string, std::shared_ptr<GuiObject>>;

    // The first object of the name; null when there is none.
    GuiObject* Find(const std::string& name) const;
    // Puts the object in the place of the first one of its name, or at the
    // end; returns the object it replaced.
    std::shared_ptr<GuiObject> Put(const std::string& name, std::shared_ptr<GuiObject> object);
    // Appends the object; an earlier object of the name stays the one found.
    void Add(const std::string& name, std::shared_ptr<GuiObject> object);
    // Takes the object out; null when it is not held here.
    std::shared_ptr<GuiObject> Take(GuiObject* object);
    bool Empty() const { return entries_.empty(); }
    // Every entry, in creation order, leaving this empty.
    std::list<Entry> TakeAll();

private:
    using Entries = std::list<Entry>;

    std::list<Entry> entries_;
    std::unordered_map<std::string, Entries::iterator> firstByName_;
    std::unordered_map<const GuiObject*, Entries::iterator> byObject_;
};

} // namespace Vabo
