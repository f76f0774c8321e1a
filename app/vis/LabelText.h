#pragma once
// Number texts of the meters' labels, in the "C" locale whatever the user's.
#include <string>

// Two decimals: 440 gives "440.00".
std::string FixedText(float value);
// Truncated toward zero: 452.89 gives "452". Empty for no number or one too
// large to write as an integer.
std::string IntegerText(float value);
