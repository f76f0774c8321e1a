#pragma once
// Owning handle of a Cairo surface: destroys the surface with the handle.
#include <cairo.h>

#include <memory>

namespace Platform {

struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

} // namespace Platform
