#pragma once
// The callables through which visualisations read their data each time they
// draw: a number, or a block of numbers that the source owns and refills.
#include <functional>
#include <vector>

using ScalarSource = std::function<float()>;
using BlockSource = std::function<std::vector<float>&()>;
