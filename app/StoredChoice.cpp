#include "app/StoredChoice.h"

#include "app/SettingsStore.h"
#include "audio/ComboPopulator.h"
#include "platform/Log.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameBlindToCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string StoredChoice(SettingsStore& settings, const std::string& key, const ComboPopulator& list)
{
    const std::string name = settings.Get<std::string>(key, "");
    if (name.empty())
        return name;
    // Earlier versions stored some names in another case than the list's
    // captions (an input line as the mixer names it: "Internal Mic").
    const auto& names = list.GetNames();
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&name](const std::string& entry) { return SameBlindToCase(entry, name); });
    if (found != names.end())
        return *found;
    Platform::Log("settings: the stored " + key + " \"" + name + "\" is not one of its list; the default stays");
    return std::string();
}
