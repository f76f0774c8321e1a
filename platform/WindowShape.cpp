#include "platform/WindowShape.h"

#include "platform/Log.h"
#include "platform/X11Handles.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace Platform {

namespace {

bool X11Handles(SDL_Window* window, Display*& display, ::Window& handle)
{
    std::string why;
    if (!X11HandlesOf(window, display, handle, why)) {
        if (window)
            Log("WindowShape: " + why + "; the outline stays rectangular");
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XShapeQueryExtension(display, &eventBase, &errorBase)) {
        Log("WindowShape: the X server has no Shape extension; the outline stays rectangular");
        return false;
    }
    return true;
}

} // namespace

bool SetWindowShape(SDL_Window* window, const std::vector<Rect>& rectangles)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(window, display, handle))
        return false;
    std::vector<XRectangle> xRectangles;
    xRectangles.reserve(rectangles.size());
    for (const Rect& r : rectangles) {
        if (r.width <= 0 || r.height <= 0)
            continue;
        xRectangles.push_back(XRectangle{static_cast<short>(r.x), static_cast<short>(r.y),
                                         static_cast<unsigned short>(r.width), static_cast<unsigned short>(r.height)});
    }
    // The input region follows the outline, so clicks on cut-away corners go
    // to whatever lies below.
    XShapeCombineRectangles(display, handle, ShapeBounding, 0, 0, xRectangles.data(),
                            static_cast<int>(xRectangles.size()), ShapeSet, Unsorted);
    XShapeCombineRectangles(display, handle, ShapeInput, 0, 0, xRectangles.data(), static_cast<int>(xRectangles.size()),
                            ShapeSet, Unsorted);
    XSync(display, False);
    return true;
}

bool GetWindowShape(SDL_Window* window, std::vector<Rect>& rectangles)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(window, display, handle))
        return false;
    int count = 0;
    int ordering = 0;
    XRectangle* xRectangles = XShapeGetRectangles(display, handle, ShapeBounding, &count, &ordering);
    rectangles.clear();
    for (int i = 0; i < count; ++i) {
        const XRectangle& r = xRectangles[i];
        rectangles.push_back(Rect{r.x, r.y, r.width, r.height});
    }
    if (xRectangles)
        XFree(xRectangles);
    return true;
}

} // namespace Platform
