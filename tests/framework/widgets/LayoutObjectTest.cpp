#include "framework/widgets/LayoutObject.h"

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using Vabo::GridVal;
using Vabo::LayoutObject;

TEST(LayoutObject, ReadsItsFourLengthsFromTheElementAndThrowsForAMissingOne)
{
    TiXmlDocument document;
    document.Parse("<CreateObject XPos=\"10px\" YPos=\"0.5\" Width=\"1-20px\" Height=\"25%\"/>");
    TiXmlElement* element = document.RootElement();
    Vabo::Animation animation(2);
    const LayoutObject record(nullptr, element, &animation);
    EXPECT_EQ(element, record.element);
    EXPECT_EQ(GridVal(10, 0), record.x);
    EXPECT_EQ(GridVal(0, 0.5f), record.y);
    EXPECT_EQ(GridVal(-20, 1), record.width);
    EXPECT_EQ(GridVal(0, 25), record.height);
    EXPECT_EQ(2u, record.animation.size());

    element->RemoveAttribute("Height");
    EXPECT_THROW(LayoutObject(nullptr, element, nullptr), XMLLoadSave::XMLLoadSaveException);
}

TEST(LayoutObject, EqualityComparesObjectAndPlaceOnly)
{
    TiXmlElement element("CreateObject");
    LayoutTest::Probe a;
    LayoutTest::Probe b;
    Vabo::Animation animation(3);
    const auto Record = [](Vabo::GuiObject* object, float height, TiXmlElement* e, Vabo::Animation* keys) {
        return LayoutObject(object, GridVal(1, 0), GridVal(2, 0), GridVal(0, 1), GridVal(0, height), e, keys);
    };
    const LayoutObject record = Record(&a, 1, nullptr, nullptr);
    EXPECT_EQ(record, Record(&a, 1, &element, &animation));
    EXPECT_NE(record, Record(&b, 1, nullptr, nullptr));
    EXPECT_NE(record, Record(&a, 0.5f, nullptr, nullptr));
}
