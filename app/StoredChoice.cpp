#include "app/StoredChoice.h"

#include "app/SettingsStore.h"
#include "audio/ComboPopulator.h"
#include "platform/Log.h"

#include <algorithm>

std::string StoredChoice(SettingsStore& settings, const std::string& key, const ComboPopulator& list)
{
    const std::string name = settings.Get<std::string>(key, "");
    const auto& names = list.GetNames();
    if (name.empty() || std::find(names.begin(), names.end(), name) != names.end())
        return name;
    Platform::Log("settings: the stored " + key + " \"" + name + "\" is not one of its list; the default stays");
    return std::string();
}
