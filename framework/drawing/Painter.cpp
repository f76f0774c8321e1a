#include "framework/drawing/Painter.h"

#include "framework/drawing/CachedTextLayout.h"
#include "framework/drawing/CairoColor.h"
#include "framework/drawing/Font.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Interpolation.h"
#include "framework/drawing/Pen.h"
#include "framework/drawing/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace GdiplusGfxLayer {
namespace {

constexpr double kPi = 3.14159265358979323846;

float ClampOpacity(double value)
{
    if (std::isnan(value))
        return 1.0f;
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

// One end of a line: moves the end point as its cap needs and draws the
// cap's own shape. (ux, uy) is the unit direction pointing out of the line.
void PrepareEnd(cairo_t* cr, int cap, double width, double length, double& x, double& y, double ux, double uy)
{
    switch (cap) {
    case Pen::Round:
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, width / 2, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    case Pen::Square:
        x += ux * width / 2;
        y += uy * width / 2;
        break;
    case Pen::ArrowAnchor: {
        const double arrow = std::max(4.0, 4.0 * width);
        const double half = arrow / 2;
        const double baseX = x - ux * arrow;
        const double baseY = y - uy * arrow;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, baseX - uy * half, baseY + ux * half);
        cairo_line_to(cr, baseX + uy * half, baseY - ux * half);
        cairo_close_path(cr);
        cairo_fill(cr);
        // The line stops at the arrow's base (never past its other end).
        const double back = std::min(arrow, length);
        x -= ux * back;
        y -= uy * back;
        break;
    }
    default:
        // A flat end on the pixel grid: the end pixel is covered whole.
        x += ux * 0.5;
        y += uy * 0.5;
        break;
    }
}

} // namespace

Painter::Painter(Image& target)
    : cr_(cairo_create(target.GetSurface()))
    , width_(target.GetWidth())
    , height_(target.GetHeight())
{
}

Painter::~Painter()
{
    cairo_destroy(cr_);
}

bool Painter::Check()
{
    const cairo_status_t status = cairo_status(cr_);
    if (status == CAIRO_STATUS_SUCCESS)
        return true;
    lastStatus_ = status;
    return false;
}

bool Painter::FillRect(const Vabo::Rect& rect, const Color& color)
{
    cairo_save(cr_);
    SetSourceColor(cr_, color);
    cairo_rectangle(cr_, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cr_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::FillRects(const std::vector<Vabo::Rect>& rects, const Color& color)
{
    if (rects.empty())
        return true;
    cairo_save(cr_);
    SetSourceColor(cr_, color);
    for (const Vabo::Rect& rect : rects)
        cairo_rectangle(cr_, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cr_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::FillGradientRect(const Vabo::Rect& rect, const Color& from, const Color& to)
{
    cairo_save(cr_);
    cairo_pattern_t* gradient =
        CreateLinearGradient(rect.x, rect.y, from, rect.x + rect.width, rect.y + rect.height, to);
    cairo_set_source(cr_, gradient);
    cairo_rectangle(cr_, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cr_);
    cairo_pattern_destroy(gradient);
    cairo_restore(cr_);
    return Check();
}

bool Painter::DrawLine(const Pen& pen, const Vabo::Point& from, const Vabo::Point& to)
{
    // Pixel centres: GDI+ puts them on whole numbers, Cairo half-way.
    double x0 = from.x + 0.5, y0 = from.y + 0.5;
    double x1 = to.x + 0.5, y1 = to.y + 0.5;
    const double length = std::hypot(x1 - x0, y1 - y0);
    if (length == 0.0)
        return true;
    const double ux = (x1 - x0) / length;
    const double uy = (y1 - y0) / length;
    const double width = pen.GetWidth() > 0.0f ? pen.GetWidth() : 1.0;

    cairo_save(cr_);
    SetSourceColor(cr_, pen.GetColor());
    PrepareEnd(cr_, pen.GetStartCap(), width, length, x0, y0, -ux, -uy);
    PrepareEnd(cr_, pen.GetEndCap(), width, length, x1, y1, ux, uy);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    if (pen.HasQuickEdges())
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_FAST);
    cairo_move_to(cr_, x0, y0);
    cairo_line_to(cr_, x1, y1);
    cairo_stroke(cr_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::DrawLines(const Pen& pen, const Vabo::Point* points, int count)
{
    if (count < 2)
        return true;
    if (count == 2)
        return DrawLine(pen, points[0], points[1]);
    const bool round = pen.GetStartCap() == Pen::Round || pen.GetEndCap() == Pen::Round;
    // Flat ends on the pixel grid cover their end pixels whole, as DrawLine's do.
    const auto end = [](const Vabo::Point& at, const Vabo::Point& before, double& x, double& y) {
        x = at.x + 0.5;
        y = at.y + 0.5;
        const double length = std::hypot(double(at.x - before.x), double(at.y - before.y));
        if (length > 0.0) {
            x += 0.5 * (at.x - before.x) / length;
            y += 0.5 * (at.y - before.y) / length;
        }
    };
    double x0 = points[0].x + 0.5, y0 = points[0].y + 0.5;
    double x1 = points[count - 1].x + 0.5, y1 = points[count - 1].y + 0.5;
    if (!round) {
        end(points[0], points[1], x0, y0);
        end(points[count - 1], points[count - 2], x1, y1);
    }
    cairo_save(cr_);
    SetSourceColor(cr_, pen.GetColor());
    cairo_set_line_width(cr_, pen.GetWidth() > 0.0f ? pen.GetWidth() : 1.0);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr_, round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    if (pen.HasQuickEdges())
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_FAST);
    cairo_move_to(cr_, x0, y0);
    for (int i = 1; i < count - 1; ++i)
        cairo_line_to(cr_, points[i].x + 0.5, points[i].y + 0.5);
    cairo_line_to(cr_, x1, y1);
    cairo_stroke(cr_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::DrawFrame(const Vabo::Rect& rect, const Color& topLeft, const Color& bottomRight, float width)
{
    const Pen first(topLeft, width);
    const Pen second(bottomRight, width);
    const int right = rect.x + rect.width;
    const int bottom = rect.y + rect.height;
    bool ok = DrawLine(first, {rect.x, rect.y}, {right, rect.y});
    ok = DrawLine(first, {rect.x, rect.y}, {rect.x, bottom}) && ok;
    ok = DrawLine(second, {right, bottom}, {right, rect.y + 1}) && ok;
    ok = DrawLine(second, {right, bottom}, {rect.x + 1, bottom}) && ok;
    return ok;
}

bool Painter::DrawString(const Font& font, const std::string& text, const Color& color, float x, float y)
{
    PangoLayout* layout = CreateTextLayout(cr_, font, text);
    cairo_save(cr_);
    SetSourceColor(cr_, color);
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, layout);
    cairo_restore(cr_);
    g_object_unref(layout);
    return Check();
}

namespace {

// Pango takes the cairo context's transform into a layout's context each time
// it is asked to, and then lays the text out anew even when the transform is
// the same: a kept layout is brought up to date only when it differs. (Every
// target is an image surface, and image surfaces give the same font options.)
void FollowTransform(cairo_t* cr, PangoLayout* layout)
{
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    const PangoMatrix* current = pango_context_get_matrix(pango_layout_get_context(layout));
    if (current && current->xx == matrix.xx && current->yx == matrix.yx && current->xy == matrix.xy
        && current->yy == matrix.yy)
        return;
    pango_cairo_update_layout(cr, layout);
}

} // namespace

bool Painter::DrawStringInRect(const Font& font, const std::string& text, const Color& color, float x, float y, float w,
                               float h, int alignment, int trimming, CachedTextLayout* cache)
{
    PangoLayout* layout = nullptr;
    if (cache) {
        layout = cache->Get(font, text, w, h, alignment, trimming);
        FollowTransform(cr_, layout);
    } else {
        layout = CreateTextLayout(cr_, font, text);
        ShapeTextLayout(layout, w, h, alignment, trimming);
    }

    cairo_save(cr_);
    SetSourceColor(cr_, color);
    // Whole lines only: a line that would end below the rectangle is not
    // drawn, except the first (a rectangle measured for one line, rounded
    // down by a fraction of a pixel, still shows its line).
    const double limit = h > 0 ? h + 0.5 : 0.0;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    bool firstLine = true;
    do {
        int top = 0, bottom = 0;
        pango_layout_iter_get_line_yrange(iter, &top, &bottom);
        if (!firstLine && limit > 0 && bottom / static_cast<double>(PANGO_SCALE) > limit)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        const double baseline = pango_layout_iter_get_baseline(iter) / static_cast<double>(PANGO_SCALE);
        cairo_move_to(cr_, x + logical.x / static_cast<double>(PANGO_SCALE), y + baseline);
        pango_cairo_show_layout_line(cr_, pango_layout_iter_get_line_readonly(iter));
        firstLine = false;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    cairo_restore(cr_);
    if (!cache)
        g_object_unref(layout);
    return Check();
}

bool Painter::DrawImage(const Image& image, double sx, double sy, double sw, double sh, double dx, double dy, double dw,
                        double dh)
{
    if (opacity_ <= 0.0f || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return true;
    cairo_save(cr_);
    cairo_rectangle(cr_, dx, dy, dw, dh);
    cairo_clip(cr_);
    cairo_translate(cr_, dx, dy);
    cairo_scale(cr_, dw / sw, dh / sh);
    cairo_set_source_surface(cr_, image.GetSurface(), -sx, -sy);
    cairo_pattern_set_filter(cairo_get_source(cr_), filter_);
    cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
    if (opacity_ >= 1.0f)
        cairo_paint(cr_);
    else
        cairo_paint_with_alpha(cr_, opacity_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::DrawImageRect(const Image& image, const Vabo::Rect& source, const Vabo::Rect& destination)
{
    return DrawImage(image, source.x, source.y, source.width, source.height, destination.x, destination.y,
                     destination.width, destination.height);
}

bool Painter::DrawImageScaled(const Image& image, int x, int y, int w, int h, int interpolationMode)
{
    filter_ = FilterForInterpolation(interpolationMode, filter_);
    return DrawImage(image, 0, 0, image.GetWidth(), image.GetHeight(), x, y, w, h);
}

bool Painter::DrawImageScaledInPlace(const Image& image, int x, int y, int w, int h, int interpolationMode)
{
    cairo_matrix_t matrix;
    cairo_get_matrix(cr_, &matrix);
    cairo_surface_t* target = cairo_get_target(cr_);
    if (matrix.xx != 1.0 || matrix.yy != 1.0 || matrix.xy != 0.0 || matrix.yx != 0.0
        || matrix.x0 != std::floor(matrix.x0) || matrix.y0 != std::floor(matrix.y0)
        || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE
        || cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return false;
    const int left = x + static_cast<int>(matrix.x0);
    const int top = y + static_cast<int>(matrix.y0);
    if (left < 0 || top < 0)
        return false;
    const int right = std::min(left + w, cairo_image_surface_get_width(target));
    const int bottom = std::min(top + h, cairo_image_surface_get_height(target));
    if (opacity_ <= 0.0f || right <= left || bottom <= top || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return true;
    // A view of the surface whose corner is the box's: the picture is scaled
    // from the box's corner exactly as into a copy of its own.
    cairo_surface_flush(target);
    const int stride = cairo_image_surface_get_stride(target);
    cairo_surface_t* view =
        cairo_image_surface_create_for_data(cairo_image_surface_get_data(target) + top * stride + left * 4,
                                            CAIRO_FORMAT_ARGB32, right - left, bottom - top, stride);
    cairo_t* cr = cairo_create(view);
    if (clip_) {
        const cairo_region_t* region = clip_->Get();
        for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(region, i, &r);
            cairo_rectangle(cr, r.x - left, r.y - top, r.width, r.height);
        }
        cairo_clip(cr);
    }
    cairo_scale(cr, static_cast<double>(w) / image.GetWidth(), static_cast<double>(h) / image.GetHeight());
    cairo_set_source_surface(cr, image.GetSurface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), FilterForInterpolation(interpolationMode, filter_));
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    if (opacity_ >= 1.0f)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, opacity_);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(view);
    cairo_surface_mark_dirty_rectangle(target, left, top, right - left, bottom - top);
    if (status != CAIRO_STATUS_SUCCESS) {
        lastStatus_ = status;
        return false;
    }
    return true;
}

bool Painter::DrawImageAt(const Image& image, int x, int y)
{
    return DrawImage(image, 0, 0, image.GetWidth(), image.GetHeight(), x, y, image.GetWidth(), image.GetHeight());
}

bool Painter::DrawImageInRect(const Image& image, const Vabo::Rect& rect)
{
    return DrawImage(image, 0, 0, image.GetWidth(), image.GetHeight(), rect.x, rect.y, rect.width, rect.height);
}

void Painter::ApplyClip()
{
    cairo_reset_clip(cr_);
    if (!clip_)
        return;
    cairo_matrix_t matrix;
    cairo_get_matrix(cr_, &matrix);
    cairo_identity_matrix(cr_);
    cairo_new_path(cr_);
    const cairo_region_t* region = clip_->Get();
    for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
    }
    cairo_clip(cr_);
    cairo_set_matrix(cr_, &matrix);
}

void Painter::SetClip(const Region& region)
{
    clip_ = region;
    ApplyClip();
}

void Painter::ResetClip()
{
    clip_.reset();
    ApplyClip();
}

void Painter::RestoreClip(const std::optional<Region>& clip)
{
    clip_ = clip;
    ApplyClip();
}

Vabo::Rect Painter::ToDevice(float x, float y, float w, float h) const
{
    double xs[4] = {x, x + w, x, x + w};
    double ys[4] = {y, y, y + h, y + h};
    for (int i = 0; i < 4; ++i)
        cairo_user_to_device(cr_, &xs[i], &ys[i]);
    const auto edge = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
    const int left = edge(*std::min_element(xs, xs + 4));
    const int right = edge(*std::max_element(xs, xs + 4));
    const int top = edge(*std::min_element(ys, ys + 4));
    const int bottom = edge(*std::max_element(ys, ys + 4));
    return Vabo::Rect{left, top, right - left, bottom - top};
}

void Painter::IntersectClip(float x, float y, float w, float h)
{
    Region next;
    if (clip_)
        next = *clip_;
    else
        next.Union(Vabo::Rect{0, 0, width_, height_});
    next.Intersect(ToDevice(x, y, w, h));
    clip_ = next;
    ApplyClip();
}

bool Painter::Clear()
{
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr_);
    cairo_restore(cr_);
    return Check();
}

bool Painter::Meets(const Vabo::Rect& rect) const
{
    if (rect.width <= 0 || rect.height <= 0)
        return false;
    const Vabo::Rect device = ToDevice(static_cast<float>(rect.x), static_cast<float>(rect.y),
                                       static_cast<float>(rect.width), static_cast<float>(rect.height));
    const int left = std::max(device.x, 0);
    const int top = std::max(device.y, 0);
    const int right = std::min(device.x + device.width, width_);
    const int bottom = std::min(device.y + device.height, height_);
    if (right <= left || bottom <= top)
        return false;
    if (!clip_)
        return true;
    const cairo_rectangle_int_t r{left, top, right - left, bottom - top};
    return cairo_region_contains_rectangle(clip_->Get(), &r) != CAIRO_REGION_OVERLAP_OUT;
}

void Painter::Translate(float dx, float dy)
{
    cairo_translate(cr_, dx, dy);
}

void Painter::Rotate(float degrees)
{
    cairo_rotate(cr_, degrees * kPi / 180.0);
}

void Painter::Scale(float sx, float sy)
{
    cairo_scale(cr_, sx, sy);
}

void Painter::SetOpacity(float opacity)
{
    opacity_ = ClampOpacity(opacity);
}

void Painter::MultiplyOpacity(float factor)
{
    opacity_ = ClampOpacity(static_cast<double>(factor) * static_cast<double>(opacity_));
}

ClipScope::ClipScope(Painter& painter, float x, float y, float w, float h)
    : painter_(painter)
    , saved_(painter.GetClip())
{
    painter_.IntersectClip(x, y, w, h);
}

ClipScope::~ClipScope()
{
    painter_.RestoreClip(saved_);
}

OpacityScope::OpacityScope(Painter& painter, float factor)
    : painter_(painter)
    , saved_(painter.GetOpacity())
{
    painter_.MultiplyOpacity(factor);
}

OpacityScope::~OpacityScope()
{
    painter_.SetOpacity(saved_);
}

TranslationScope::TranslationScope(Painter& painter, float dx, float dy)
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

} // namespace GdiplusGfxLayer
