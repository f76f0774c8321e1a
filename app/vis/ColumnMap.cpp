#include "app/vis/ColumnMap.h"

#include "audio/SampleFile.h"

#include <algorithm>
#include <cmath>

namespace {

float LargerAbsolute(float current, float incoming)
{
    return std::max(std::fabs(current), std::fabs(incoming));
}

void Map(const std::vector<float>& block, std::vector<float>& columns, int count, const CombineFunction& combine)
{
    columns.assign(std::size_t(std::max(0, count)), 0.0f);
    MapSamples(block, columns, combine, true);
    for (float& value : columns)
        if (std::isnan(value))
            value = 0.0f;
}

} // namespace

void MapSignedPeaks(const std::vector<float>& block, std::vector<float>& columns, int count)
{
    Map(block, columns, count, LargerMagnitude);
}

void MapMagnitudePeaks(const std::vector<float>& block, std::vector<float>& columns, int count)
{
    Map(block, columns, count, LargerAbsolute);
    // Equal lengths are copied as they are.
    for (float& value : columns)
        value = std::fabs(value);
}

int PaletteIndex(float magnitude)
{
    if (!(magnitude > 0.0f))
        return 0;
    return std::clamp(-int(0.5f - 100.0f * std::min(magnitude, 2.0f)), 0, 99);
}
