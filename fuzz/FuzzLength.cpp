// Skin lengths ("10px", "25%", "0.5") as any attribute may hold them.
#include "framework/widgets/GridVal.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Vabo::GridVal length(text);
    for (int extent : {0, 1, 800, 1 << 20})
        (void)length.Resolve(extent);
    Vabo::GridVal sum = length;
    sum += length;
    sum -= Vabo::GridVal("10px");
    (void)sum.ResolveTruncated(500);
    return 0;
}
