#pragma once
// Where visualisation containers keep the index of their shown display
// between runs, each under its XML type name. The application installs the
// settings store; until it does, choices last as long as the process.
#include <string>

class VisSelectionStore {
public:
    virtual ~VisSelectionStore() = default;
    // The stored integer, or defaultValue when there is none or it is not a
    // number.
    virtual int Get(const std::string& key, int defaultValue) = 0;
    virtual void Set(const std::string& key, int value) = 0;

    static VisSelectionStore& Current();
    // Null puts the process-local store back. The store must outlive its use.
    static void Install(VisSelectionStore* store);
};
