// An application window whose content is an object built from another document
// ("ObjectXML"), laid out below the window's title bar (its "Move" grip) or,
// without one, over the whole window.
#pragma once

#include <memory>

#include "framework/host/AppWindow.h"

namespace Vabo {

class TitleWindow : public AppWindow {
public:
    explicit TitleWindow(TiXmlElement* element);
    ~TitleWindow() override;

    bool LoadFromXML(TiXmlElement* element);

    GuiObject* GetContent() const { return content_.get(); }

private:
    std::shared_ptr<GuiObject> content_;
};

} // namespace Vabo
