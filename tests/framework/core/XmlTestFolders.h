#pragma once
// Points the process's document map at the test skins for one test and puts
// the folders back afterwards.
#include "framework/core/DocMap.h"

#include <string>

namespace XmlTest {

inline std::string Data(const std::string& relative)
{
    return std::string(PELLORA_TEST_DATA) + "/framework/core/" + relative;
}

class Folders {
public:
    Folders(const std::string& app, const std::string& library)
        : oldApp_(DllDocMapInstance().GetAppFolder())
        , oldLibrary_(DllDocMapInstance().GetLibraryFolder())
    {
        DllDocMapInstance().SetAppFolder(app);
        DllDocMapInstance().SetLibraryFolder(library);
    }
    ~Folders()
    {
        DllDocMapInstance().SetAppFolder(oldApp_);
        DllDocMapInstance().SetLibraryFolder(oldLibrary_);
    }
    Folders(const Folders&) = delete;
    Folders& operator=(const Folders&) = delete;

    // The application folder of the test skin and its library.
    static Folders Skin() { return Folders(Data("skins/app"), Data("skins/lib/VABO/XML")); }

private:
    std::string oldApp_;
    std::string oldLibrary_;
};

} // namespace XmlTest
