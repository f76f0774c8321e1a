// Loads the tuning configurations under tests/data/audio through the XML
// core, and builds small note stores from text.
#pragma once

#include "audio/NoteStore.h"
#include "framework/core/XMLLoadSave.h"

#include <memory>
#include <string>
#include <tinyxml.h>

namespace MusicTest {

inline std::string DataFile(const std::string& name)
{
    return std::string(PELLORA_TEST_DATA) + "/audio/" + name;
}

// The root element of a configuration file, kept alive by the loader.
class ConfigFile {
public:
    explicit ConfigFile(const std::string& name)
        : root_(loader_.LoadXMLOrThrow(DataFile(name)))
    {
    }
    TiXmlElement* Root() const { return root_; }

private:
    XMLLoadSave loader_;
    TiXmlElement* root_;
};

// A note store of the given "<Note .../>" lines.
inline NoteStore NotesFromText(const std::string& notes)
{
    TiXmlDocument document;
    document.Parse(("<NoteStore>" + notes + "</NoteStore>").c_str());
    return NoteStore(document.RootElement());
}

} // namespace MusicTest
