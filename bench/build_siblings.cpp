// Time to build and to destroy a grid layout with N sibling children made by
// "CreateObject" elements, for growing N. Linear work shows as a time that
// doubles with N; quadratic work as one that quadruples.
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/XMLLoadSave.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string WriteSkin(int children, bool tabCoordinates)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pellora-siblings-" + std::to_string(::getpid()) + ".xml")).string();
    std::ofstream out(path);
    out << "<Vabo::GridLayout Name=\"Root\">\n";
    for (int i = 0; i < children; ++i)
        out << "<CreateObject Name=\"C" << i << "\" XPos=\"0\" YPos=\"0\" Width=\"10px\" Height=\"10px\""
            << (tabCoordinates ? " TabCoordX=\"" + std::to_string(i) + "\" TabCoordY=\"0\"" : std::string())
            << "><Vabo::GridLayout/></CreateObject>\n";
    out << "</Vabo::GridLayout>\n";
    return path;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main()
{
    std::printf("%8s %5s %10s %10s\n", "children", "tabs", "build s", "destroy s");
    for (bool tabs : {false, true})
        for (int children = 1000; children <= (getenv("PELLORA_BENCH_MAX") ? atoi(getenv("PELLORA_BENCH_MAX")) : 16000);
             children *= 2) {
            const std::string path = WriteSkin(children, tabs);
            XMLLoadSave loader;
            TiXmlElement* root = loader.LoadXML(path);
            std::filesystem::remove(path);
            if (!root) {
                std::fprintf(stderr, "the skin of %d children did not load\n", children);
                return 1;
            }
            auto start = std::chrono::steady_clock::now();
            auto layout = DllGlobalObjectFactoryInstance().Create(root);
            const double build = Seconds(start);
            start = std::chrono::steady_clock::now();
            layout.reset();
            std::printf("%8d %5s %10.3f %10.3f\n", children, tabs ? "yes" : "no", build, Seconds(start));
        }
    return 0;
}
