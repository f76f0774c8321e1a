#include "framework/host/MessageBoxLayout.h"

#include <gtest/gtest.h>

using Vabo::PlaceButton;
using Vabo::SplitButtonLabels;

TEST(MessageBoxLabels, SplitAtCommasAndQuotesAndTrimBlanks) {
  EXPECT_EQ(SplitButtonLabels("RETRY, CANCEL"),
            (std::vector<std::string>{"RETRY", "CANCEL"}));
  EXPECT_EQ(SplitButtonLabels("\"Yes\",\" No \" ,  Maybe later "),
            (std::vector<std::string>{"Yes", "No", "Maybe later"}));
}

TEST(MessageBoxLabels, BlankListsGiveNoLabels) {
  EXPECT_TRUE(SplitButtonLabels("").empty());
  EXPECT_TRUE(SplitButtonLabels(" , ,\"\"").empty());
}

TEST(MessageBoxPlacement, FewButtonsKeepTheWidthOfOneSlotAndSpreadEvenly) {
  // Two buttons in a row made for four: a quarter wide, centred at 1/3 and 2/3.
  auto first = PlaceButton(1, 2, 4);
  auto second = PlaceButton(2, 2, 4);
  EXPECT_FLOAT_EQ(first.width, 0.25f);
  EXPECT_FLOAT_EQ(first.left + first.width / 2, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(second.left + second.width / 2, 2.0f / 3.0f);

  auto only = PlaceButton(1, 1, 2);
  EXPECT_FLOAT_EQ(only.width, 0.5f);
  EXPECT_FLOAT_EQ(only.left, 0.25f);
}

TEST(MessageBoxPlacement, FullRowSharesTheWidthWithoutOverlap) {
  for (int n : {2, 3, 4, 6}) {
    const int maxButtons = n == 2 ? 2 : (n == 3 ? 2 : 4);
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
