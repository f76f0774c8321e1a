#include "framework/widgets/LayoutObject.h"

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using Vabo::GridVal;
using Vabo::LayoutObject;

namespace {

TiXmlElement* Parse(TiXmlDocument& document, const char* xml)
{
    document.Parse(xml);
    return document.RootElement();
}

} // namespace

TEST(LayoutObject, ReadsItsFourLengthsFromTheElement)
{
    TiXmlDocument document;
    TiXmlElement* element = Parse(document, "<CreateObject XPos=\"10px\" YPos=\"0.5\" Width=\"1-20px\" Height=\"25%\"/>");
    Vabo::Animation animation(2);
    const LayoutObject record(nullptr, element, &animation);
    EXPECT_EQ(element, record.element);
    EXPECT_EQ(GridVal(10, 0), record.x);
    EXPECT_EQ(GridVal(0, 0.5f), record.y);
    EXPECT_EQ(GridVal(-20, 1), record.width);
    EXPECT_EQ(GridVal(0, 25), record.height);
    EXPECT_EQ(2u, record.animation.size());
}

TEST(LayoutObject, AMissingLengthThrows)
{
    TiXmlDocument document;
    TiXmlElement* element = Parse(document, "<CreateObject XPos=\"10px\" YPos=\"0.5\" Width=\"1\"/>");
    EXPECT_THROW(LayoutObject(nullptr, element, nullptr), XMLLoadSave::XMLLoadSaveException);
}

TEST(LayoutObject, EqualityComparesObjectAndPlaceOnly)
{
    TiXmlDocument document;
    TiXmlElement* element = Parse(document, "<CreateObject/>");
    LayoutTest::Probe a;
    LayoutTest::Probe b;
    Vabo::GuiObject* objectA = &a;
    Vabo::GuiObject* objectB = &b;
    Vabo::Animation animation(3);
    const LayoutObject record(objectA, GridVal(1, 0), GridVal(2, 0), GridVal(0, 1), GridVal(0, 1), nullptr, nullptr);
    LayoutObject same(objectA, GridVal(1, 0), GridVal(2, 0), GridVal(0, 1), GridVal(0, 1), element, &animation);
    EXPECT_EQ(record, same);
    LayoutObject copy;
    copy = same;
    EXPECT_EQ(3u, copy.animation.size());
    EXPECT_EQ(element, copy.element);
    EXPECT_NE(record, LayoutObject(objectB, GridVal(1, 0), GridVal(2, 0), GridVal(0, 1), GridVal(0, 1), nullptr, nullptr));
    EXPECT_NE(record, LayoutObject(objectA, GridVal(1, 0), GridVal(2, 0), GridVal(0, 1), GridVal(0, 0.5f), nullptr, nullptr));
}
