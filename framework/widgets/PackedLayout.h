#pragma once
// A grid layout that needs no positions in the skin: each child goes straight
// after the previous one, in a row or a column, at its own pixel size, and
// becomes the next stop of keyboard navigation.
#include "framework/widgets/GridLayout.h"

namespace Vabo {

class PackedLayout : public GridLayout {
public:
    enum Packing { PackRow = 0, PackColumn = 1 };
    enum Expanding { ExpandHorizontal = 0, ExpandVertical = 1, ExpandBoth = 2, ExpandNone = 3 };

    // Reads "PackingType" (required) and "ExpandingType"; with
    // constructFromXml the element's "CreateObject" children are packed
    // before the constructor returns.
    PackedLayout(TiXmlElement* element, bool constructFromXml);
    ~PackedLayout() override;

    bool LoadFromXML(TiXmlElement* element);

    // Packs the child after the previous ones; the element's lengths are not
    // read.
    using GridLayout::AddObject;
    bool AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation) override;

    int GetPacking() const { return packing_; }
    int GetExpanding() const { return expanding_; }

private:
    int packing_ = PackColumn;
    int expanding_ = ExpandNone;
    // Where the next child starts along the packing direction. Removed
    // children do not give their space back.
    int offset_ = 0;
    int column_ = 0;
    int row_ = 0;
    bool constructFromXml_;
    bool childrenCreated_ = false;
};

} // namespace Vabo
