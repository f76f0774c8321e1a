// The transposition choices (an instrument in B flat, a capo): a name and a
// shift in note-table steps each, in document order.
#pragma once

#include "framework/core/XMLLoadSave.h"

#include <string>
#include <utility>
#include <vector>

class TransposeStore : public XMLLoadSave {
public:
    TransposeStore() = default;
    // Reads the "Transpose" children with "Name" and "Shift" required; a
    // null element gives an empty store.
    explicit TransposeStore(TiXmlElement* element);
    ~TransposeStore() override = default;

    // The shift of the first entry of that name, 0 when there is none.
    int GetShift(const std::string& name) const;
    const std::vector<std::pair<std::string, int>>& GetEntries() const { return entries_; }

private:
    std::vector<std::pair<std::string, int>> entries_;
};
