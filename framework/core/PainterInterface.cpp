#include "framework/core/PainterInterface.h"

namespace Vabo {

PainterInterface::~PainterInterface() = default;

OpacityScope::OpacityScope(PainterInterface& painter, float factor)
    : painter_(painter)
    , saved_(painter.GetOpacity())
{
    painter_.MultiplyOpacity(factor);
}

OpacityScope::~OpacityScope()
{
    painter_.SetOpacity(saved_);
}

TranslationScope::TranslationScope(PainterInterface& painter, float dx, float dy)
    : painter_(painter)
    , dx_(dx)
    , dy_(dy)
{
    painter_.Translate(dx_, dy_);
}

TranslationScope::~TranslationScope()
{
    painter_.Translate(-dx_, -dy_);
}

} // namespace Vabo
