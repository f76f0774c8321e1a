// A text label whose vertical centring follows the height of its text wrapped
// at a given width ("MaxWidth"), for texts of more than one line.
#pragma once

#include "framework/widgets/Text.h"

namespace Vabo {

class Text2 : public Text {
public:
    explicit Text2(TiXmlElement* element);
    ~Text2() override;

    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override;

    int GetMaxWidth() const { return maxWidth_; }

private:
    int maxWidth_ = -1;
};

} // namespace Vabo
