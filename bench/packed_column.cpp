// Time to build a packed column (and a packed row) of N children made by
// "CreateObject" elements, for doubling N. Linear work shows as a time that
// doubles with N; quadratic work as one that quadruples. The target is
// linear: each doubling costs at most two and a half times the one before.
// With "Both" expansion each child added looks for the largest child among
// all of them, a small quadratic term that shows past a few thousand
// children; those rows are shown without a target.
#include "framework/core/DocMap.h"
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

std::string WriteSkin(int children, const char* packing, const char* expanding)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pellora-packed-" + std::to_string(::getpid()) + ".xml")).string();
    std::ofstream out(path);
    out << "<Vabo::PackedLayout Name=\"Root\" PackingType=\"" << packing << "\" ExpandingType=\"" << expanding
        << "\">\n";
    for (int i = 0; i < children; ++i)
        out << "<CreateObject Name=\"C" << i << "\" XPos=\"0\" YPos=\"0\" Width=\"10px\" Height=\"10px\">"
            << "<Vabo::GridLayout/></CreateObject>\n";
    out << "</Vabo::PackedLayout>\n";
    return path;
}

} // namespace

int main()
{
    DllDocMapInstance().SetLibraryFolder(PELLORA_SOURCE_DIR "/lib/VABO/XML");
    const int most = getenv("PELLORA_BENCH_MAX") ? atoi(getenv("PELLORA_BENCH_MAX")) : 8000;
    constexpr double kMostGrowth = 2.5;
    std::printf("%-10s %-6s %8s %10s %8s\n", "packing", "expand", "children", "build ms", "growth");
    bool met = true;
    for (const char* packing : {"Vertical", "Horizontal"})
        for (const char* expanding : {"None", "Both"}) {
            double previous = 0.0;
            for (int children = 500; children <= most; children *= 2) {
                const std::string path = WriteSkin(children, packing, expanding);
                XMLLoadSave loader;
                TiXmlElement* root = loader.LoadXML(path);
                std::filesystem::remove(path);
                if (!root) {
                    std::fprintf(stderr, "the skin of %d children did not load\n", children);
                    return 1;
                }
                const auto start = std::chrono::steady_clock::now();
                auto layout = DllGlobalObjectFactoryInstance().Create(root);
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                layout.reset();
                // Below a few milliseconds the growth is noise, not a trend.
                const double growth = previous > 5.0 ? ms / previous : 0.0;
                const bool targeted = std::string(expanding) == "None";
                if (targeted && growth > kMostGrowth)
                    met = false;
                std::printf("%-10s %-6s %8d %10.1f %8s%s\n", packing, expanding, children, ms,
                            growth > 0.0 ? std::to_string(growth).substr(0, 4).c_str() : "-",
                            targeted ? "" : "  (no target)");
                previous = ms;
            }
        }
    std::printf("growth per doubling at most %.1f: %s\n", kMostGrowth, met ? "met" : "NOT met");
    return met ? 0 : 2;
}
