#pragma once
// The bounds on the counts a skin gives the displays (lines, notes, bars,
// tics): each count divides a width, and each line or bar is drawn on every
// frame, so a count outside its bounds is refused when the skin loads.
#include <string>

class TiXmlElement;

namespace CountLimit {

constexpr float MaxLines = 1000.0f;
constexpr int MaxNotes = 100;
constexpr int MaxBars = 4096;
constexpr float MaxTics = 10000.0f;

// Logs which file, element and bounds, then throws XMLLoadSaveException,
// when the count is not a number from min to max.
void Require(const TiXmlElement* element, const std::string& attribute, float count, float min, float max);

} // namespace CountLimit
