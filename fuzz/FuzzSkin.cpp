// A skin document through the real loader and factory, with every type of the
// program registered, built into objects and drawn on an off-screen picture.
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/VaboInit.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "fuzz/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DllVaboInitInstance();
    Fuzz::InputFile file(data, size, "Skin.xml");
    DllDocMapInstance().SetAppFolder(file.Folder());
    XMLLoadSave loader;
    try {
        TiXmlElement* root = loader.LoadXML(file.Path());
        if (!root)
            return 0;
        std::shared_ptr<Vabo::GuiObject> object = DllGlobalObjectFactoryInstance().Create(root);
        if (!object)
            return 0;
        object->SetSize(320, 200);
        GdiplusGfxLayer::Image canvas(320, 200);
        GdiplusGfxLayer::Painter painter(canvas);
        object->Render(painter);
    } catch (const std::exception&) {
        // Construction from a broken skin reports failure by exceptions.
    }
    return 0;
}
