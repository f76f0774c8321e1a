#include "FlowStrip.h"

#include "framework/core/Registration.h"
#include "framework/widgets/FlowLayoutAbsolutePadded.h"
#include "framework/widgets/FlowLayoutEndAligned.h"
#include "framework/widgets/FlowLayoutStartAligned.h"

namespace LayoutTest {
namespace {

// A strip created by name alone, as the registry walk does, lies horizontal.
template <class Layout> Vabo::GuiObject* Create(TiXmlElement* element)
{
    if (element->Attribute("Orientation") == nullptr)
        element->SetAttribute("Orientation", "Horizontal");
    return new FlowStrip<Layout>(element);
}

const Vabo::RegisterClass<FlowStrip<Vabo::FlowLayoutStartAligned>> startStrip("Test::StartStrip", "",
                                                                              Create<Vabo::FlowLayoutStartAligned>);
const Vabo::RegisterClass<FlowStrip<Vabo::FlowLayoutEndAligned>> endStrip("Test::EndStrip", "",
                                                                          Create<Vabo::FlowLayoutEndAligned>);
const Vabo::RegisterClass<FlowStrip<Vabo::FlowLayoutAbsolutePadded>>
    paddedStrip("Test::PaddedStrip", "", Create<Vabo::FlowLayoutAbsolutePadded>);

} // namespace

template <class Layout>
FlowStrip<Layout>::FlowStrip(TiXmlElement* element)
    : Layout(element)
{
    this->template RegisterLoader<FlowStrip>(element, this);
}

template <class Layout> bool FlowStrip<Layout>::LoadFromXML(TiXmlElement* element)
{
    for (TiXmlElement* piece : this->XMLLoadSave::GetChildren(element, "Piece")) {
        auto swatch = std::make_unique<Swatch>(piece);
        std::string name;
        this->ReadXmlAttribute(name, piece, "Name", false);
        swatch->SetName(name);
        int extent = 1;
        this->ReadXmlAttribute(extent, piece, "Extent", false, Vabo::kSkinLength);
        if (!this->AddObjectWithExtent(swatch.get(), extent))
            ++refused;
        pieces.push_back(std::move(swatch));
    }
    return true;
}

} // namespace LayoutTest
