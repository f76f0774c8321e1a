#include "framework/host/MessageBoxLayout.h"

#include <gtest/gtest.h>

using Vabo::PlaceButton;
using Vabo::SplitButtonLabels;
using Labels = std::vector<std::string>;

TEST(MessageBoxLabels, SplitAtCommasAndQuotesAndTrimBlanks)
{
    EXPECT_EQ(SplitButtonLabels("RETRY, CANCEL"), (Labels{"RETRY", "CANCEL"}));
    EXPECT_EQ(SplitButtonLabels("\"Yes\",\" No \" ,  Maybe later "), (Labels{"Yes", "No", "Maybe later"}));
    EXPECT_TRUE(SplitButtonLabels("").empty());
    EXPECT_TRUE(SplitButtonLabels(" , ,\"\"").empty());
}

TEST(MessageBoxLabels, OnlyTheBlankIsTrimmedAndEveryOtherPieceStaysInOrder)
{
    const struct {
        const char* list;
        Labels labels;
    } cases[] = {
        // A repeated label is a button of its own, where it stands.
        {"OK,OK,YES", {"OK", "OK", "YES"}},
        {"NO, YES ,\"NO\"", {"NO", "YES", "NO"}},
        // Tabs and line breaks are part of a label; a piece of blanks is none.
        {"\tA, B\n", {"\tA", "B\n"}},
        {" ,A", {"A"}},
        {"\r", {"\r"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitButtonLabels(c.list), c.labels) << c.list;
}

TEST(MessageBoxPlacement, FewButtonsKeepTheWidthOfOneSlotAFullRowSharesItWithoutOverlap)
{
    // Buttons in a row made for more: one slot wide, spread evenly (two in a
    // row for four: a quarter wide, centred at 1/3 and 2/3).
    EXPECT_FLOAT_EQ(PlaceButton(1, 2, 4).width, 0.25f);
    EXPECT_FLOAT_EQ(PlaceButton(1, 2, 4).left + 0.125f, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(PlaceButton(2, 2, 4).left + 0.125f, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(PlaceButton(1, 1, 2).left, 0.25f);

    // At least as many as the row is made for: button i centred at (i - 0.5) / n.
    const std::pair<int, int> rows[] = {{2, 2}, {3, 2}, {6, 4}};
    for (const auto& [n, maxButtons] : rows) {
        SCOPED_TRACE(n);
        float previousRight = 0.0f;
        for (int i = 1; i <= n; ++i) {
            auto slot = PlaceButton(i, n, maxButtons);
            EXPECT_FLOAT_EQ(slot.width, 1.0f / n);
            EXPECT_FLOAT_EQ(slot.left + slot.width / 2, (i - 0.5f) / n);
            EXPECT_GE(slot.left + 1e-6f, previousRight);
            previousRight = slot.left + slot.width;
        }
        EXPECT_NEAR(previousRight, 1.0f, 1e-6f);
    }
}
