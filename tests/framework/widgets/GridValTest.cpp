#include "framework/widgets/GridVal.h"

#include "framework/core/SkinLimits.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <sstream>

using Vabo::GridVal;

namespace {

std::string Text(const GridVal& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace

TEST(GridVal, TextTermsAddUpAsPixelsOrFractionsAndAnUnreadableTermEndsTheParse)
{
    const struct {
        const char* text;
        float units;
        float percentage;
    } cases[] = {
        {"10px", 10, 0},
        {"0.5", 0, 0.5f},
        {"0.5%", 0, 0.5f},
        {"100%", 0, 100},
        {"1-20px", -20, 1},
        {"10px+0.5-3px", 7, 0.5f},
        {"+5px", 5, 0},
        {"-0.25", 0, -0.25f},
        {"2e1px", 20, 0},
        // An unreadable term ends the parse, keeping the earlier terms.
        {"", 0, 0},
        {"abc", 0, 0},
        {"px", 0, 0},
        {"10p", 0, 0},
        {"10px+3p", 10, 0},
        {"10px+abc", 10, 0},
        {"nan", 0, 0},
        {"5px+inf", 5, 0},
        // Each sum is held to the range of every skin length and fraction.
        {"1e30-1e30px", -Vabo::kMaxSkinLength, Vabo::kMaxSkinFactor},
        // Each term moves the cursor past everything the number scan read, so a
        // blank is skipped once instead of being read again and again; the same
        // text read again gives the same value.
        {" 10px", 10, 0},
        {"10px 5%", 10, 5},
        {"0.5 ", 0, 0.5f},
        {"   ", 0, 0},
        {" 10px \t0.25", 10, 0.25f},
        {" 10px \t0.25", 10, 0.25f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        const GridVal value(c.text);
        EXPECT_FLOAT_EQ(c.units, value.units);
        EXPECT_FLOAT_EQ(c.percentage, value.percentage);
    }
}

TEST(GridVal, WritesATextThatParsesBack)
{
    EXPECT_EQ("10px+0.5", Text(GridVal(10, 0.5f)));
    EXPECT_EQ("0px+1", Text(GridVal(0, 1)));
    EXPECT_EQ("-4px-0.25", Text(GridVal(-4, -0.25f)));
    for (const GridVal& value : {GridVal(10, 0.5f), GridVal(-4, -0.25f), GridVal(123.25f, 0.125f), GridVal()})
        EXPECT_EQ(value, GridVal(Text(value))) << Text(value);
}

TEST(GridVal, PlacementRoundsHalfAwayFromZeroAnimationTruncatesBothWithinARange)
{
    const struct {
        GridVal value;
        int extent;
        int rounded;
        int truncated;
    } cases[] = {
        {GridVal(0, 0.5f), 101, 51, 50},
        {GridVal(12.5f, 0), 0, 13, 12},
        {GridVal(-12.5f, 0), 0, -13, -12},
        {GridVal(12.49f, 0), 0, 12, 12},
        {GridVal(10, 0.5f), 100, 60, 60},
        {GridVal(1e30f, 0), 100, Vabo::kMaxSkinLength, Vabo::kMaxSkinLength},
        {GridVal(0, -1e30f), 100, -Vabo::kMaxSkinLength, -Vabo::kMaxSkinLength},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.value) + " of " + std::to_string(c.extent));
        EXPECT_EQ(c.rounded, c.value.Resolve(c.extent));
        EXPECT_EQ(c.truncated, c.value.ResolveTruncated(c.extent));
    }
}

TEST(GridVal, ReadsUnitsAndPercentageFromAnElementOrThrows)
{
    TiXmlDocument document;
    document.Parse("<Lengths><L Units=\"12\" Percentage=\"0.25\"/><M Units=\"3\"/></Lengths>");
    TiXmlElement* root = document.RootElement();
    EXPECT_EQ(GridVal(12, 0.25f), GridVal(root->FirstChildElement("L")));
    EXPECT_EQ(GridVal(), GridVal(static_cast<TiXmlElement*>(nullptr)));
    EXPECT_THROW(GridVal{root->FirstChildElement("M")}, XMLLoadSave::XMLLoadSaveException);
}
