#include "app/vis/VisSelectionStore.h"

#include <map>

namespace {

class ProcessStore : public VisSelectionStore {
public:
    int Get(const std::string& key, int defaultValue) override
    {
        const auto found = values_.find(key);
        return found == values_.end() ? defaultValue : found->second;
    }
    void Set(const std::string& key, int value) override { values_[key] = value; }

private:
    std::map<std::string, int> values_;
};

ProcessStore& Local()
{
    static ProcessStore store;
    return store;
}

VisSelectionStore* installed = nullptr;

} // namespace

VisSelectionStore& VisSelectionStore::Current()
{
    return installed ? *installed : Local();
}

void VisSelectionStore::Install(VisSelectionStore* store)
{
    installed = store;
}
