#include "platform/RepeatCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(RepeatCounter, AMessagePassesOnceAndItsRepeatsAreSaidAtPowersOfTen)
{
    Platform::RepeatCounter counter(2);
    struct Step {
        std::string message;
        int times;
        std::vector<std::string> said;
    };
    const Step steps[] = {
        {"a", 1, {"a"}},
        {"a", 8, {}},
        {"a", 1, {"a (10 times so far)"}},
        {"b", 1, {"b"}},
        {"a", 90, {"a (100 times so far)"}},
        {"c", 1, {"c (further different messages are only counted)"}},
        {"d", 8, {}},
        {"e", 1, {"10 different messages so far beyond the first 2"}},
        {"b", 999, {"b (10 times so far)", "b (100 times so far)", "b (1000 times so far)"}},
    };
    for (const Step& s : steps) {
        std::vector<std::string> said;
        for (int i = 0; i < s.times; ++i)
            if (std::string line = counter.Pass(s.message); !line.empty())
                said.push_back(line);
        EXPECT_EQ(s.said, said) << s.message << " x" << s.times;
    }
}
