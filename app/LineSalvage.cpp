#include "app/LineSalvage.h"

#include <glib.h>


namespace {

bool Parses(const std::string& text)
{
    GKeyFile* probe = g_key_file_new();
    const bool parsed = g_key_file_load_from_data(probe, text.data(), text.size(), G_KEY_FILE_NONE, nullptr);
    g_key_file_free(probe);
    return parsed;
}

bool StartsGroup(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    return first != std::string::npos && line[first] == '[';
}

} // namespace

const LineSalvage::Result& LineSalvage::Of(const std::string& text)
{
    if (held_ && text == text_)
        return result_;
    result_ = Result();
    bool inGroup = false;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t stop = text.find('\n', at);
        if (stop == std::string::npos)
            stop = text.size();
        const std::string line = text.substr(at, stop - at);
        at = stop + 1;
        ++number;
        if (Parses(line)) {
            // A group, a comment or a blank.
            inGroup = inGroup || StartsGroup(line);
        } else if (!inGroup || !Parses("[Pellora]\n" + line)) {
            result_.dropped.push_back(number);
            // The keys below a group that cannot be read belong to no group we know.
            if (StartsGroup(line))
                inGroup = false;
            continue;
        }
        result_.readable += line + '\n';
    }
    text_ = text;
    held_ = true;
    return result_;
}
