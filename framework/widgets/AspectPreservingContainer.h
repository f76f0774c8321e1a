#pragma once
// Holds one object at a fixed aspect ratio, as large as fits and centred
// across the spare side, whatever size the container is given. The large
// focus container wraps each of its objects in one.
#include "framework/widgets/GridLayout.h"

#include <memory>

namespace Vabo {

class AspectPreservingContainer : public GridLayout {
public:
    // The object fills the container until its first resize.
    AspectPreservingContainer(std::shared_ptr<GuiObject> object, float aspectRatio);
    ~AspectPreservingContainer() override;

    // Resizes the container and fits the object into the new size.
    bool SetSize(int width, int height) override;

    // Where the object goes in a container of the given size, as pure
    // fractions of it. A container without area (one fed its object before
    // the screen was sized) is filled.
    LayoutObject ComputeChildRecord(int width, int height) const;

    GuiObject* GetObject() const { return object_.get(); }
    float GetAspectRatio() const { return aspectRatio_; }

private:
    std::shared_ptr<GuiObject> object_;
    // Width over height of the object.
    float aspectRatio_;
};

} // namespace Vabo
