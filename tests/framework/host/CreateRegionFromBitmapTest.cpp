#include "framework/host/CreateRegionFromBitmap.h"

#include "platform/PictureDecoder.h"

#include <gtest/gtest.h>

using Platform::Rect;
using Vabo::CreateRegionFromBitmap;

namespace {

Platform::CairoSurfacePtr Filled(int width, int height, double alpha)
{
    Platform::CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_t* cr = cairo_create(surface.get());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
    cairo_paint(cr);
    cairo_destroy(cr);
    return surface;
}

} // namespace

TEST(CreateRegionFromBitmap, RunsFollowTheAlphaChannelOfAPicture)
{
    std::string error;
    auto picture = Platform::DecodePicture(PELLORA_TEST_DATA "/gfx/alpha-shape.png", error);
    ASSERT_TRUE(picture) << error;
    // Alpha 10 is inside at threshold 10, alpha 9 outside.
    const std::vector<Rect> expected = {
        {2, 0, 2, 1},
        {0, 1, 2, 1},
        {3, 1, 3, 1},
        {0, 3, 6, 1},
    };
    const auto runs = CreateRegionFromBitmap(picture.get(), 10, true);
    ASSERT_TRUE(runs);
    EXPECT_EQ(expected, *runs);

    const std::vector<Rect> outside = {
        {0, 0, 2, 1},
        {4, 0, 2, 1},
        {2, 1, 1, 1},
        {0, 2, 6, 1},
    };
    const auto complement = CreateRegionFromBitmap(picture.get(), 10, false);
    ASSERT_TRUE(complement);
    EXPECT_EQ(outside, *complement);
}

TEST(CreateRegionFromBitmap, OpaqueGivesOneRunPerRowTransparentGivesEmptyNoneGivesNothing)
{
    auto opaque = Filled(10, 10, 1.0);
    const auto rows = CreateRegionFromBitmap(opaque.get(), 10, true);
    ASSERT_TRUE(rows);
    ASSERT_EQ(10u, rows->size());
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ((Rect{0, y, 10, 1}), (*rows)[y]);

    auto clear = Filled(10, 10, 0.0);
    const auto empty = CreateRegionFromBitmap(clear.get(), 10, true);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    EXPECT_FALSE(CreateRegionFromBitmap(nullptr, 10, true));
}
