#pragma once
// Registered as "Test::StartStrip", "Test::EndStrip" and "Test::PaddedStrip":
// a flow layout that adds its parts in code while it loads, as scroll bars
// do, one Swatch per "Piece" child element ("Width", "Height", "Color" and
// "Extent": -1 expandable, else fixed or, padded, the offset).
#include "Swatch.h"

#include <memory>
#include <vector>

namespace LayoutTest {

template <class Layout> class FlowStrip : public Layout {
public:
    explicit FlowStrip(TiXmlElement* element);
    bool LoadFromXML(TiXmlElement* element);

    std::vector<std::unique_ptr<Swatch>> pieces;
    int refused = 0;
};

} // namespace LayoutTest
