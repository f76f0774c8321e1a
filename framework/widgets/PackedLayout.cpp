#include "framework/widgets/PackedLayout.h"

#include "framework/core/Registration.h"
#include "framework/core/SkinFileOf.h"
#include "framework/core/SkinLimits.h"
#include "platform/Log.h"

#include <tinyxml.h>

#include <algorithm>

namespace Vabo {
namespace {

const RegisterClass<PackedLayout> registerPackedLayout("Vabo::PackedLayout",
                                                       "$VABO/Objects/PackedLayout/PackedLayout.xml",
                                                       [](TiXmlElement* e) { return new PackedLayout(e, true); });

int ExpandingFromText(const std::string& text)
{
    if (text == "Both")
        return PackedLayout::ExpandBoth;
    if (text == "Vertical")
        return PackedLayout::ExpandVertical;
    if (text == "Horizontal")
        return PackedLayout::ExpandHorizontal;
    return PackedLayout::ExpandNone;
}

// Where the child after one of that length starts: held at the longest
// length a skin may give, so that the sum of many children stays an int.
int NextOffset(int offset, int length)
{
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(offset) + length, -kMaxSkinLength, kMaxSkinLength));
}

} // namespace

PackedLayout::PackedLayout(TiXmlElement* element, bool constructFromXml)
    : GridLayout(element, false)
    , constructFromXml_(constructFromXml)
{
    RegisterLoader<PackedLayout>(element, this);
}

PackedLayout::~PackedLayout() = default;

bool PackedLayout::LoadFromXML(TiXmlElement* element)
{
    std::string packing;
    ReadXmlAttribute(packing, element, "PackingType", true);
    packing_ = packing == "Horizontal" ? PackRow : PackColumn;

    std::string expanding;
    if (ReadXmlAttribute(expanding, element, "ExpandingType", false)) {
        expanding_ = ExpandingFromText(expanding);
        if (expanding_ == ExpandNone && expanding != "None")
            Platform::Log("PackedLayout \"" + GetName() + "\" (" + SkinFileOf(element) + "): unknown ExpandingType \""
                          + expanding + "\", expanding none");
    } else {
        expanding_ = ExpandNone;
    }

    // A reload re-reads the attributes; packing the children again would
    // move every one of them past the last.
    if (!constructFromXml_ || childrenCreated_)
        return true;
    childrenCreated_ = true;
    return CreateObjects(element);
}

bool PackedLayout::AddObject(GuiObject* object, TiXmlElement* element, const Animation* animation)
{
    object->CalculateSize();
    const int width = object->GetWidth();
    const int height = object->GetHeight();
    GridVal x, y;
    if (packing_ == PackRow) {
        x = GridVal(static_cast<float>(offset_), 0);
        offset_ = NextOffset(offset_, width);
    } else {
        y = GridVal(static_cast<float>(offset_), 0);
        offset_ = NextOffset(offset_, height);
    }
    const bool added =
        AddLayoutRecord(object,
                        std::make_shared<LayoutObject>(object, x, y, GridVal(static_cast<float>(width), 0),
                                                       GridVal(static_cast<float>(height), 0), element, animation));
    AddTabObject(object, column_, row_);

    if (expanding_ == ExpandBoth)
        SetSize(GetMaxChildWidth(), GetMaxChildHeight());

    if (packing_ == PackRow) {
        ++column_;
        return added;
    }
    // The whole width as a fraction, not the pixels of this moment: a layout
    // built from a skin has no size yet while its children arrive, and the
    // children must follow when its parent sizes it. The earlier children
    // have it already, so only the new one is placed: a column of thousands
    // is built in time linear in its children.
    LayoutObject record;
    if (GetLayoutObject(object, record))
        PlaceObject(object, record.x, record.y, GridVal(0, 1), record.height, false);
    ++row_;
    return added;
}

} // namespace Vabo
