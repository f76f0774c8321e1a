#include "framework/drawing/CachedTextLayout.h"

#include "PixelExpect.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace GdiplusGfxLayer;

TEST(CachedTextLayout, KeepsOneLayoutUntilTheTextFontOrBoxChangesAndDrawsAsAFreshOne)
{
    const Font font("DejaVu Sans", 14.0f, FontStyleRegular, Font::Point);
    CachedTextLayout cache;
    PangoLayout* first = cache.Get(font, "Tuner", 80, 30, Painter::Center, Painter::TrimNone);
    EXPECT_EQ(first, cache.Get(font, "Tuner", 80, 30, Painter::Center, Painter::TrimNone));
    const Font same("DejaVu Sans", 14.0f, FontStyleRegular, Font::Point);
    EXPECT_EQ(first, cache.Get(same, "Tuner", 80, 30, Painter::Center, Painter::TrimNone)) << "an equal font will do";
    EXPECT_EQ(1, cache.Builds());
    cache.Get(font, "Metronome", 80, 30, Painter::Center, Painter::TrimNone);
    cache.Get(Font("DejaVu Sans", 15.0f, FontStyleRegular, Font::Point), "Metronome", 80, 30, Painter::Center,
              Painter::TrimNone);
    cache.Get(font, "Metronome", 81, 30, Painter::Center, Painter::TrimNone);
    cache.Get(font, "Metronome", 81, 30, Painter::Near, Painter::TrimNone);
    EXPECT_EQ(5, cache.Builds());

    // Drawn twenty times from the cache, in two places: the pixels a fresh
    // layout gives.
    Image cached(120, 60);
    Image fresh(120, 60);
    Painter onCached(cached);
    Painter onFresh(fresh);
    const Color ink(255, 10, 20, 30);
    for (int i = 0; i < 20; ++i) {
        onCached.Clear();
        EXPECT_TRUE(onCached.DrawStringInRect(font, "A4 440 Hz", ink, 5, 7, 100, 40, Painter::Center, Painter::TrimNone,
                                              &cache));
    }
    onFresh.DrawStringInRect(font, "A4 440 Hz", ink, 5, 7, 100, 40, Painter::Center, Painter::TrimNone);
    EXPECT_TRUE(SamePixels(cached, fresh));
    EXPECT_EQ(6, cache.Builds());
}

// A kept layout is laid out again only when the painter's transform changes
// (Pango would at every draw), and draws as a fresh one under each transform.
TEST(CachedTextLayout, IsLaidOutAgainOnlyWhenTheTransformChanges)
{
    const Font font("DejaVu Sans", 14.0f, FontStyleRegular, Font::Point);
    const Color ink(255, 10, 20, 30);
    CachedTextLayout cache;
    const struct {
        const char* name;
        float scale;
        float degrees;
        bool laidOutAgain;
    } frames[] = {
        {"plain", 1.0f, 0.0f, false},      {"plain again", 1.0f, 0.0f, false},  {"plain once more", 1.0f, 0.0f, false},
        {"scaled", 1.5f, 0.0f, true},      {"scaled again", 1.5f, 0.0f, false}, {"turned", 1.0f, 20.0f, true},
        {"plain after", 1.0f, 0.0f, true},
    };
    for (const auto& frame : frames) {
        Image cached(160, 90);
        Image fresh(160, 90);
        Painter onCached(cached);
        Painter onFresh(fresh);
        for (Painter* painter : {&onCached, &onFresh}) {
            painter->Scale(frame.scale, frame.scale);
            painter->Rotate(frame.degrees);
        }
        PangoLayout* layout = cache.Get(font, "A4 440 Hz", 100, 40, Painter::Center, Painter::TrimNone);
        const guint before = pango_layout_get_serial(layout);
        EXPECT_TRUE(onCached.DrawStringInRect(font, "A4 440 Hz", ink, 5, 7, 100, 40, Painter::Center, Painter::TrimNone,
                                              &cache));
        EXPECT_EQ(frame.laidOutAgain, pango_layout_get_serial(layout) != before) << frame.name;
        onFresh.DrawStringInRect(font, "A4 440 Hz", ink, 5, 7, 100, 40, Painter::Center, Painter::TrimNone);
        EXPECT_TRUE(SamePixels(cached, fresh)) << frame.name;
    }
    EXPECT_EQ(1, cache.Builds());
}
