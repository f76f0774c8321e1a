// The list of entry names behind one drop-down list (instruments, styles,
// transpositions, ...): the screens append names from the configuration
// stores, then have one entry object made per name from an entry document.
#pragma once

#include "framework/core/XMLLoadSave.h"

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace Vabo {
class GuiObject;
}

class ComboPopulator : public XMLLoadSave {
public:
    ComboPopulator() = default;
    ComboPopulator(const ComboPopulator&) = delete;
    ComboPopulator& operator=(const ComboPopulator&) = delete;
    ~ComboPopulator() override = default;

    void AddEntry(const std::string& name);

    // Loads a fresh copy of the entry document, names its root after the
    // entry and creates the object through the object factory; null when the
    // document cannot be loaded or its type is not registered (logged). The
    // document stays in the document map as long as the entry lives.
    std::shared_ptr<Vabo::GuiObject> CreateEntry(const std::string& documentName, const std::string& entryName);

    // For every name in order, with its index i: creates its entry and calls
    // fn(target, entry, i, extra). A name whose entry cannot be made is
    // skipped; the others keep their indices.
    template <class Fn, class Target, class Extra>
    void ForEachEntry(const std::string& documentName, Fn fn, Target target, Extra extra)
    {
        int index = 0;
        for (const std::string& name : names_) {
            if (std::shared_ptr<Vabo::GuiObject> entry = CreateEntry(documentName, name))
                std::invoke(fn, target, entry, index, extra);
            ++index;
        }
    }

    // Forgets the names and the entries; entries nobody else holds go, and
    // their documents leave the document map with them.
    void Clear();

    const std::list<std::string>& GetNames() const { return names_; }
    int Count() const { return static_cast<int>(names_.size()); }
    const std::vector<std::shared_ptr<Vabo::GuiObject>>& GetEntries() const { return entries_; }

private:
    std::vector<std::shared_ptr<Vabo::GuiObject>> entries_;
    std::list<std::string> names_;
};
