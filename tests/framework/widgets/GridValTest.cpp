#include "framework/widgets/GridVal.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <sstream>

using Vabo::GridVal;

namespace {

void ExpectParses(const std::string& text, float units, float percentage)
{
    const GridVal value(text);
    EXPECT_FLOAT_EQ(units, value.units) << '"' << text << '"';
    EXPECT_FLOAT_EQ(percentage, value.percentage) << '"' << text << '"';
}

std::string Text(const GridVal& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace

TEST(GridValText, TermsAddUpAsPixelsOrFractions)
{
    ExpectParses("10px", 10, 0);
    ExpectParses("0.5", 0, 0.5f);
    ExpectParses("0.5%", 0, 0.5f);
    ExpectParses("100%", 0, 100);
    ExpectParses("1-20px", -20, 1);
    ExpectParses("10px+0.5-3px", 7, 0.5f);
    ExpectParses("+5px", 5, 0);
    ExpectParses("-0.25", 0, -0.25f);
}

TEST(GridValText, UnreadableTermsEndTheParseKeepingEarlierTerms)
{
    ExpectParses("", 0, 0);
    ExpectParses("abc", 0, 0);
    ExpectParses("px", 0, 0);
    ExpectParses("10p", 0, 0);
    ExpectParses("10px+3p", 10, 0);
    ExpectParses("10px+abc", 10, 0);
    ExpectParses("nan", 0, 0);
    ExpectParses("5px+inf", 5, 0);
}

TEST(GridValText, BlanksNeverStallTheParse)
{
    // Each term moves the cursor past everything the number scan read, so a
    // blank is skipped once instead of being read again and again.
    ExpectParses(" 10px", 10, 0);
    ExpectParses("10px 5%", 10, 5);
    ExpectParses("0.5 ", 0, 0.5f);
    ExpectParses("   ", 0, 0);
    ExpectParses("2e1px", 20, 0);
    for (int i = 0; i < 3; ++i)
        ExpectParses(" 10px \t0.25", 10, 0.25f);
}

TEST(GridValText, WritesATextThatParsesBack)
{
    EXPECT_EQ("10px+0.5", Text(GridVal(10, 0.5f)));
    EXPECT_EQ("0px+1", Text(GridVal(0, 1)));
    EXPECT_EQ("-4px-0.25", Text(GridVal(-4, -0.25f)));
    for (const GridVal& value : {GridVal(10, 0.5f), GridVal(-4, -0.25f), GridVal(123.25f, 0.125f), GridVal()})
        EXPECT_EQ(value, GridVal(Text(value))) << Text(value);
}

TEST(GridValArithmetic, AddsAndSubtractsComponentwise)
{
    GridVal a(10, 0.5f);
    const GridVal b(4, 0.25f);
    EXPECT_EQ(GridVal(14, 0.75f), a + b);
    EXPECT_EQ(GridVal(6, 0.25f), a - b);
    a += b;
    EXPECT_EQ(GridVal(14, 0.75f), a);
    a -= b;
    EXPECT_EQ(GridVal(10, 0.5f), a);
    EXPECT_NE(a, b);
    const GridVal nan(std::nanf(""), 0);
    EXPECT_NE(nan, nan);
}

TEST(GridValPixels, PlacementRoundsHalfAwayFromZeroAnimationTruncates)
{
    EXPECT_EQ(51, GridVal(0, 0.5f).Resolve(101));
    EXPECT_EQ(50, GridVal(0, 0.5f).ResolveTruncated(101));
    EXPECT_EQ(13, GridVal(12.5f, 0).Resolve(0));
    EXPECT_EQ(-13, GridVal(-12.5f, 0).Resolve(0));
    EXPECT_EQ(12, GridVal(12.49f, 0).Resolve(0));
    EXPECT_EQ(-12, GridVal(-12.5f, 0).ResolveTruncated(0));
    EXPECT_EQ(60, GridVal(10, 0.5f).Resolve(100));
}

TEST(GridValPixels, AbsurdValuesStayInARange)
{
    EXPECT_EQ(1 << 24, GridVal(1e30f, 0).Resolve(100));
    EXPECT_EQ(-(1 << 24), GridVal(0, -1e30f).ResolveTruncated(100));
}

TEST(GridValXml, ReadsUnitsAndPercentageOrThrows)
{
    TiXmlDocument document;
    document.Parse("<Lengths><L Units=\"12\" Percentage=\"0.25\"/><M Units=\"3\"/></Lengths>");
    TiXmlElement* root = document.RootElement();
    const GridVal read(root->FirstChildElement("L"));
    EXPECT_EQ(GridVal(12, 0.25f), read);
    EXPECT_EQ(GridVal(), GridVal(static_cast<TiXmlElement*>(nullptr)));
    EXPECT_THROW(GridVal{root->FirstChildElement("M")}, XMLLoadSave::XMLLoadSaveException);
}
