#pragma once
// The core's test documents, and the document map pointed at its test skin.
#include <string>

#include "support/DocMapFolders.h"

namespace XmlTest {

inline std::string Data(const std::string& relative)
{
    return std::string(PELLORA_TEST_DATA) + "/framework/core/" + relative;
}

// The application folder of the test skin and its library.
inline DocMapFolders SkinFolders()
{
    return DocMapFolders(Data("skins/app"), Data("skins/lib/VABO/XML"));
}

} // namespace XmlTest
